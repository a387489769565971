#pragma once

#include "widgets/RecordEditor.h"

class DBEdit;
class DBImage;
class QLabel;

// The issuer registry: the name, document number and city copied into every
// new receipt, and the logo printed on it. Edit, Save and Cancel only.
class FRcademitenteForm : public RecordEditor
{
    Q_OBJECT
public:
    explicit FRcademitenteForm(QWidget *parent = nullptr);

    void FormShow() override;
    void BTalterarClick();
    void BTsalvarClick();
    void BTcancelarClick();
    void DBEdit3Exit();
    void DBImage1DblClick();

    DBEdit *DBEdit2;
    DBEdit *DBEdit3;
    DBEdit *DBEdit4;
    DBImage *DBImage1;
    QLabel *Label2;
    QLabel *Label14;
    QLabel *Label3;
    QLabel *Label8;
    QLabel *Label1;
    QLabel *Label4;

};

extern FRcademitenteForm *FRcademitente;
