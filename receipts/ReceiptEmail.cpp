#include "ReceiptEmail.h"

#include "data/Database.h"
#include "data/Statement.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace receiptemail {

namespace {

// The separators a formatted CPF or CNPJ holds, taken out on both sides.
const QString kStripped = QStringLiteral(
    "REPLACE(REPLACE(REPLACE(REPLACE(COALESCE(%1, ''), '.', ''), '-', ''), '/', ''), ' ', '')");

// EMAIL, else EMAIL2, of the first row; nothing without a row.
std::optional<QString> addressOf(Cursor &cursor)
{
    Row row;
    if (!cursor.fetch(row))
        return std::nullopt;
    const QString first = row.at(0).toString().trimmed();
    return first.isEmpty() ? row.at(1).toString().trimmed() : first;
}

QString digitsAndLetters(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            kept += c;
    }
    return kept;
}

} // namespace

QString subject(const ReceiptValues &values)
{
    return QStringLiteral("Recibo nº %1 - %2").arg(values.number, values.issuerName);
}

QString text(const ReceiptValues &values)
{
    return QStringLiteral("Olá,\n\nSegue em anexo o recibo nº %1, no valor de R$ %2.\n\nAtenciosamente,\n%3")
        .arg(values.number, values.amount, values.issuerName);
}

QString attachmentName(const ReceiptValues &values)
{
    return QStringLiteral("Recibo-%1.pdf").arg(values.number);
}

QByteArray pdf(ReceiptSheet sheet, const ReceiptValues &values)
{
    Report layout = receiptLayout(sheet);
    fillReceipt(layout, sheet, values);
    layout.prepareReport();
    QTemporaryDir folder;
    if (!folder.isValid())
        throw ReportError(QStringLiteral("Não foi possível criar uma pasta temporária para o PDF."));
    const QString path = QDir(folder.path()).filePath(attachmentName(values));
    reportexport::toPdf(layout.preparedPages(), path, subject(values));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Não foi possível ler o PDF do recibo."));
    return file.readAll();
}

QString clientAddress(Database &database, Transaction &transaction, const QString &document, const QString &name)
{
    const QString wanted = digitsAndLetters(document);
    if (!wanted.isEmpty()) {
        PreparedStatement &byDocument = database.prepared(
            QStringLiteral("select first 1 EMAIL, EMAIL2 from CLIENTES where %1 = ? or %2 = ? order by ID_CLIENTE")
                .arg(kStripped.arg(QStringLiteral("CPF")), kStripped.arg(QStringLiteral("CNPJ"))));
        const std::unique_ptr<Cursor> cursor = byDocument.openCursor(transaction, {wanted, wanted});
        if (const std::optional<QString> address = addressOf(*cursor))
            return *address;
    }
    if (name.isEmpty())
        return {};
    PreparedStatement &byName = database.prepared(
        QStringLiteral("select first 1 EMAIL, EMAIL2 from CLIENTES where CLIENTE = ? order by ID_CLIENTE"));
    const std::unique_ptr<Cursor> cursor = byName.openCursor(transaction, {name});
    return addressOf(*cursor).value_or(QString());
}

MailMessage message(const EmailSettings &settings, const QString &to, const QString &subject, const QString &text,
                    ReceiptSheet sheet, const ReceiptValues &values)
{
    MailMessage message;
    message.fromAddress = settings.sender.trimmed();
    message.fromName = settings.senderName;
    message.to = to;
    message.subject = subject;
    message.text = text;
    message.attachmentName = attachmentName(values);
    message.attachment = pdf(sheet, values);
    return message;
}

} // namespace receiptemail
