#pragma once

#include "EnvioEmail.h"
#include "ReceiptPrinting.h"

#include "widgets/FormBase.h"

#include <functional>

class DataModule;
class PictureButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// Sends the receipt shown in the editor to an address, as the PDF its print
// tiles would print, through the user's mail server.
class FRemailForm : public FormBase
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule;
        QString settingsFile; // the user's email.conf
        // The e-mail settings screen, shown modally when there are none yet.
        std::function<void()> FRconfemail;
        Aviso aviso;
    };

    explicit FRemailForm(Collaborators collaborators, QWidget *parent = nullptr);

    // The receipt the next showing proposes to send.
    void setRecibo(const ReceiptValues &values) { m_recibo = values; }

    void FormShow() override;
    void Panel1Click();

    QLabel *Label1;
    QLineEdit *EDpara;
    QLabel *Label2;
    QLineEdit *EDassunto;
    QLabel *Label3;
    QPlainTextEdit *MEmensagem;
    QLabel *Label4;
    QComboBox *CBvias;
    PictureButton *Panel1;

private:
    Collaborators m_uses;
    ReceiptValues m_recibo;
};
