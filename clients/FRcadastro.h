#pragma once

#include "widgets/RecordEditor.h"

class DBEdit;
class DBLookupComboBox;

// The client registry: creates, edits, finds and deletes the rows of CLIENTES
// through the shared dataset Clientes.
class FRcadastroForm : public RecordEditor
{
    Q_OBJECT
public:
    explicit FRcadastroForm(QWidget *parent = nullptr);

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

private:
    bool editing() const;
};

extern FRcadastroForm *FRcadastro;
