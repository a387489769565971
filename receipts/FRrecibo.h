#pragma once

#include "data/Dataset.h"
#include "reportengine/Report.h"
#include "widgets/RecordEditor.h"

#include <QDate>

#include <functional>

class DataModule;
class DBEdit;
class DBImage;
class DBLookupComboBox;
class PictureButton;
class MessageDialog;
class QFrame;
class QLabel;
enum class ReceiptSheet;
struct ReceiptValues;

// The receipt editor: writes, finds, edits, deletes and prints receipts.
class FRreciboForm : public RecordEditor
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule;
        MessageDialog &FRmensagem8;  // deleted
        MessageDialog &FRmensagem10; // delete the current receipt?
        MessageDialog &FRmensagem12; // "Recibo Gravado !!!"
        // The lookups, shown modally; they are created after this screen.
        std::function<void()> FRconsultarec;
        std::function<void()> FRconsultacli2;
        // The e-mail screen, created after this one, shown modally for the receipt.
        std::function<void(const ReceiptValues &)> FRemail;
        // Discard what was typed? Created after this screen.
        std::function<MessageDialog &()> FRmensagem17;
    };

    explicit FRreciboForm(Collaborators collaborators, QWidget *parent = nullptr);

    // Today's date for New; tests fix it.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }

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
    void DBcpfcnpjemitenteExit();
    void DBemitenteKeyUp();
    void Image2Click();
    void Image3Click();
    void Image4Click();
    void Image5Click();
    void BTsairClick();

    DBLookupComboBox *DBtipo;
    DBEdit *DBEdit1;
    DBEdit *DBemitente;
    DBEdit *DBcpfcnpjemitente;
    DBEdit *DBreferente;
    DBEdit *DBreferente2;
    DBEdit *DBdata;
    DBEdit *DBvalor;
    PictureButton *Panel1;
    QLabel *Label9;
    QLabel *Label3;
    QLabel *Lrecebi;
    QLabel *Lcpfcnpj;
    QLabel *Lreferente;
    QLabel *Lemissao;
    QLabel *Lvalor;

    // Never shown: they carry the row's values for printing.
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
    // Sending by e-mail, duplicating for the next time.
    PictureButton *Image4;
    QFrame *Shape3;
    QLabel *Label10;
    QLabel *Label11;
    PictureButton *Image5;
    QFrame *Shape4;
    QLabel *Label12;
    QLabel *Label13;

    // The name completion's own query, on the shared connection and transaction.
    Dataset Query1;
    // The print layouts: one receipt per sheet, two per sheet.
    Report frxReport;
    Report frxReport1;


protected:
    void closePictureClick() override { BTsairClick(); }

private:
    QList<QWidget *> printTiles() const;
    void imprime(Report &layout, ReceiptSheet sheet);
    bool semRecibo() const;
    // The shown receipt as the print tiles print it.
    ReceiptValues valoresMostrados();

    Collaborators m_uses;
    DataModule &m_dm;
    std::function<QDate()> m_today;
};
