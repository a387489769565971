#pragma once

#include "widgets/RecordEditor.h"

#include <functional>

class DataModule;
class DBEdit;
class DBLookupComboBox;
class MessageDialog;

// The client registry: creates, edits, finds and deletes the rows of CLIENTES
// through the shared dataset Clientes.
class FRcadastroForm : public RecordEditor
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule;
        MessageDialog &FRmensagem5; // the name is required
        MessageDialog &FRmensagem6; // delete the current client?
        MessageDialog &FRmensagem8; // deleted
        // Created after this screen: "Cadastro Salvo" and the client lookup.
        std::function<void()> FRmensagem;
        std::function<void()> FRconsultacli;
        // Discard what was typed? Created after this screen.
        std::function<MessageDialog &()> FRmensagem17;
    };

    explicit FRcadastroForm(Collaborators collaborators, QWidget *parent = nullptr);

    DBEdit *DBEdit1;
    DBEdit *DBEdit2;
    DBLookupComboBox *DBtipo;
    DBEdit *DBEdit14;
    DBEdit *DBEdit4;
    DBEdit *DBEdit3;
    DBEdit *DBEdit13;
    DBEdit *DBEdit5;
    DBEdit *DBEdit6;
    DBEdit *DBEdit8;
    DBEdit *DBEdit9;
    DBEdit *DBEdit11;
    DBEdit *DBEdit12;
    DBEdit *DBEdit10;
    DBEdit *DBEdit7;

    void FormShow() override;
    void BTnovoClick();
    void BTalterarClick();
    void BTexcluirClick();
    void BTconsultarClick();
    void BTsalvarClick();
    void BTcancelarClick();
    void DBtipoExit();
    void Image1Click();

protected:
    void closePictureClick() override { Image1Click(); }

private:
    bool editing() const;

    Collaborators m_uses;
    Dataset &m_clientes;
};
