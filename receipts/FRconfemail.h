#pragma once

#include "EnvioEmail.h"

#include "widgets/FormBase.h"

#include <optional>

class DataModule;
class MessageDialog;
class PictureButton;
class QComboBox;
class QLabel;
class QLineEdit;

// The user's mail server and sender, kept in the user's own settings file.
class FRconfemailForm : public FormBase
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule; // the issuer's name is the sender's name at first
        QString settingsFile;
        MessageDialog &FRmensagem9; // "Configuração Salva !!!"
        Aviso aviso;
    };

    explicit FRconfemailForm(Collaborators collaborators, QWidget *parent = nullptr);

    void FormShow() override;
    void Panel1Click();
    void Panel2Click();

    QLineEdit *EDservidor;
    QLineEdit *EDporta;
    QComboBox *CBseguranca;
    QLineEdit *EDusuario;
    QLineEdit *EDsenha;
    QLineEdit *EDremetente;
    QLineEdit *EDnomeremetente;
    PictureButton *Panel1;
    PictureButton *Panel2;

private:
    void mostra(const EmailSettings &settings);
    // The typed settings; nothing, after telling the user, when one is unusable.
    std::optional<EmailSettings> digitadas();
    QString nomeDoEmitente();

    Collaborators m_uses;
};
