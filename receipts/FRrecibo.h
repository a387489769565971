#pragma once

#include "data/Dataset.h"
#include "reportengine/Report.h"
#include "widgets/RecordEditor.h"

#include <QDate>

#include <functional>

class DBEdit;
class DBImage;
class DBLookupComboBox;
class PictureButton;
class QFrame;
class QLabel;
enum class ReceiptSheet;

// The receipt editor: writes, finds, edits, deletes and prints receipts.
class FRreciboForm : public RecordEditor
{
    Q_OBJECT
public:
    explicit FRreciboForm(QWidget *parent = nullptr);

    // Today's date for New; tests fix it.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }
    // The lookup screens this one opens (FRconsultarec, FRconsultacli2), shown
    // modally; start-up wires them, since the lookups are created after it.
    void setLookups(std::function<void()> consultarec, std::function<void()> consultacli2)
    {
        m_consultarec = std::move(consultarec);
        m_consultacli2 = std::move(consultacli2);
    }

    void FormShow() override;
    void BTnovoClick();
    void BTalterarClick();
    void BTsalvarClick();
    void BTcancelarClick();
    void BTexcluirClick();
    void BTconsultarClick();
    void Panel1Click();
    void DBtipoExit();
    void DBvalorExit();
    void DBdataExit();
    void DBemitenteKeyUp();
    void Image2Click();
    void Image3Click();

    DBLookupComboBox *DBtipo;
    DBEdit *DBEdit1;
    DBEdit *DBemitente;
    DBEdit *DBreferente;
    DBEdit *DBreferente2;
    DBEdit *DBdata;
    DBEdit *DBvalor;
    PictureButton *Panel1;
    QLabel *Label9;
    QLabel *Label3;
    QLabel *Lrecebi;
    QLabel *Lreferente;
    QLabel *Lemissao;
    QLabel *Lvalor;

    // Never shown: they carry the row's values for printing.
    DBEdit *DBcpfcnpjemitente;
    DBEdit *DBvalorextenso;
    DBEdit *DBdatarecibo;
    DBEdit *DBlocal;
    DBEdit *DBcliente;
    DBEdit *DBcpfcnpjcliente;
    DBImage *DBImage1;

    PictureButton *Image2;
    QFrame *Shape1;
    QLabel *Label4;
    QLabel *Label5;
    PictureButton *Image3;
    QFrame *Shape2;
    QLabel *Label6;
    QLabel *Label8;

    // The name completion's own query, on the shared connection and transaction.
    Dataset Query1;
    // The print layouts: one receipt per sheet, two per sheet.
    Report frxReport;
    Report frxReport1;


private:
    QList<QWidget *> printTiles() const;
    void imprime(Report &layout, ReceiptSheet sheet);

    std::function<QDate()> m_today;
    std::function<void()> m_consultarec;
    std::function<void()> m_consultacli2;
};

extern FRreciboForm *FRrecibo;
