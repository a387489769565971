#pragma once

#include "reportengine/Report.h"

#include <QByteArray>
#include <QString>

class Dataset;

// What a printed receipt shows: the display texts of a Recibos row and the
// issuer's logo.
struct ReceiptValues
{
    QString amount;        // VALOR in "#,##0.00", no currency sign
    QString amountInWords; // VALOREXTENSO
    QString reference;     // REFERENTE
    QString observation;   // OBS
    QString place;         // LOCAL
    QString dateText;      // DATARECIBO
    QString number;        // ID_RECIBO
    QString otherPartyName;     // EMITENTE
    QString otherPartyDocument; // CPFCNPJEMITENTE
    QString issuerName;         // CLIENTE
    QString issuerDocument;     // CPFCNPJCLIENTE
    QString kind;               // TIPO
    QByteArray logo;            // EMITENTE.FOTO_MARC; empty prints no picture
};

// The current row of `recibos`, and the logo of the current row of `emitente`
// when it has one. `recibos` must be on a row.
ReceiptValues receiptValues(Dataset &recibos, Dataset &emitente);

enum class ReceiptSheet
{
    OnePerSheet, // frxReport
    TwoPerSheet  // frxReport1
};

// The layout as the program ships it.
Report receiptLayout(ReceiptSheet sheet);

// Writes the values into the layout's objects; a PAGAMENTO receipt names the
// issuer as payer and the other party as signer, any other kind the reverse.
void fillReceipt(Report &layout, ReceiptSheet sheet, const ReceiptValues &values);
