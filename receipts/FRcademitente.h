#pragma once

#include "widgets/RecordEditor.h"

#include <functional>

class DataModule;
class DBEdit;
class MessageDialog;
class DBImage;
class PictureButton;
class QLabel;

// The issuer registry: the name, document number and city copied into every
// new receipt, and the logo printed on it. Edit, Save and Cancel only.
class FRcademitenteForm : public RecordEditor
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule;
        MessageDialog &FRmensagem9; // "Configuração Salva !!!"
        // The logo screen, created after this one, shown modally.
        std::function<void()> FRimagem;
        // The e-mail settings, created after this one, shown modally.
        std::function<void()> FRconfemail;
        // Discard what was typed? Created after this screen.
        std::function<MessageDialog &()> FRmensagem17;
    };

    explicit FRcademitenteForm(Collaborators collaborators, QWidget *parent = nullptr);

    void FormShow() override;
    void BTalterarClick();
    void BTsalvarClick();
    void BTcancelarClick();
    void DBEdit3Exit();
    void DBImage1DblClick();
    void Panel1Click();
    void Image1Click();

    DBEdit *DBEdit2;
    DBEdit *DBEdit3;
    DBEdit *DBEdit4;
    DBImage *DBImage1;
    PictureButton *Panel1;
    QLabel *Label2;
    QLabel *Label14;
    QLabel *Label3;
    QLabel *Label8;
    QLabel *Label1;
    QLabel *Label4;

protected:
    void closePictureClick() override { Image1Click(); }

private:
    Collaborators m_uses;
    Dataset &m_emitente;
};
