#include "ReceiptPrinting.h"

#include "data/Dataset.h"


namespace {

QString textOf(Dataset &dataset, const char *column)
{
    return dataset.fieldByName(QLatin1String(column)).displayText();
}

struct Parties
{
    QString payerName, payerDocument, signerName, signerDocument;
};

Parties partiesOf(const ReceiptValues &values)
{
    // Only the exact kind text "PAGAMENTO" makes the issuer the payer.
    if (values.kind == QLatin1String("PAGAMENTO"))
        return {values.issuerName, values.issuerDocument, values.otherPartyName, values.otherPartyDocument};
    return {values.otherPartyName, values.otherPartyDocument, values.issuerName, values.issuerDocument};
}

// Objects the layout does not hold are skipped.
void setText(Report &layout, const char *name, const QString &text)
{
    if (ReportObject *object = layout.findObject(QLatin1String(name)))
        object->setText(text);
}

void setPicture(Report &layout, const char *name, const QByteArray &bytes)
{
    if (ReportObject *object = layout.findObject(QLatin1String(name)))
        object->setPicture(bytes);
}

} // namespace

ReceiptValues receiptValues(Dataset &recibos, Dataset &emitente)
{
    ReceiptValues values;
    values.amount = textOf(recibos, "VALOR");
    values.amountInWords = textOf(recibos, "VALOREXTENSO");
    values.reference = textOf(recibos, "REFERENTE");
    values.observation = textOf(recibos, "OBS");
    values.place = textOf(recibos, "LOCAL");
    values.dateText = textOf(recibos, "DATARECIBO");
    values.number = textOf(recibos, "ID_RECIBO");
    values.otherPartyName = textOf(recibos, "EMITENTE");
    values.otherPartyDocument = textOf(recibos, "CPFCNPJEMITENTE");
    values.issuerName = textOf(recibos, "CLIENTE");
    values.issuerDocument = textOf(recibos, "CPFCNPJCLIENTE");
    values.kind = textOf(recibos, "TIPO");
    if (emitente.active() && emitente.recNo() >= 0)
        values.logo = emitente.fieldByName(QStringLiteral("FOTO_MARC")).asBytes();
    return values;
}

Report receiptLayout(ReceiptSheet sheet)
{
    return Report::fromFile(sheet == ReceiptSheet::OnePerSheet ? QStringLiteral(":/receipts/frxReport.layout")
                                                               : QStringLiteral(":/receipts/frxReport1.layout"));
}

void fillReceipt(Report &layout, ReceiptSheet sheet, const ReceiptValues &values)
{
    const Parties parties = partiesOf(values);
    if (sheet == ReceiptSheet::OnePerSheet) {
        setText(layout, "Valor", values.amount);
        setText(layout, "recebi", parties.signerName);
        setText(layout, "extenso", values.amountInWords);
        setText(layout, "referente", values.reference);
        setText(layout, "referente2", values.observation);
        setText(layout, "local", values.place);
        setText(layout, "data1", values.dateText);
        setText(layout, "emitente", parties.payerName);
        setText(layout, "cpfcnpjemitente", parties.payerDocument);
        setText(layout, "numero", values.number);
        setPicture(layout, "picture1", values.logo);
        setText(layout, "cpfcnpjcliente", parties.signerDocument);
        return;
    }
    struct CopyNames
    {
        const char *amount, *signer, *words, *reference, *observation, *place, *date, *payer, *payerDocument,
            *signerDocument;
    };
    static const CopyNames copies[] = {
        {"Valor", "recebi", "extenso", "referente", "observacoes", "local", "data1", "emitente", "cpfcnpjemitente",
         "cpfcnpjcliente"},
        {"Valor2", "recebi2", "extenso2", "referente2", "observacoes2", "local2", "data2", "emitente2",
         "cpfcnpjemitente2", "cpfcnpjcliente2"},
    };
    for (const CopyNames &copy : copies) {
        setText(layout, copy.amount, values.amount);
        setText(layout, copy.signer, parties.signerName);
        setText(layout, copy.words, values.amountInWords);
        setText(layout, copy.reference, values.reference);
        setText(layout, copy.observation, values.observation);
        setText(layout, copy.place, values.place);
        setText(layout, copy.date, values.dateText);
        setText(layout, copy.payer, parties.payerName);
        setText(layout, copy.payerDocument, parties.payerDocument);
        setText(layout, copy.signerDocument, parties.signerDocument);
    }
    setText(layout, "numero", values.number);
    setText(layout, "numero2", values.number);
    setPicture(layout, "picture1", values.logo);
    setPicture(layout, "picture2", values.logo);
}
