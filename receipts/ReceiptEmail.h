#pragma once

#include "ReceiptPrinting.h"

#include "mail/EmailSettings.h"
#include "mail/MailMessage.h"

class Database;
class Transaction;

// A receipt sent by e-mail: the texts proposed for it, the attached PDF and
// the address of the client it was made for.
namespace receiptemail {

// "Recibo nº 7 - OFICINA MODELO"
QString subject(const ReceiptValues &values);
// The greeting, the number and amount, and the issuer's name under it.
QString text(const ReceiptValues &values);
// "Recibo-7.pdf"
QString attachmentName(const ReceiptValues &values);

// The receipt as the print tile of the sheet fills it, as a PDF file's bytes.
// Throws ReportError when it cannot be written.
QByteArray pdf(ReceiptSheet sheet, const ReceiptValues &values);

// EMAIL, else EMAIL2, of the client whose CPF or CNPJ is `document` (punctuation
// aside), else of the client named `name`; empty when there is none.
QString clientAddress(Database &database, Transaction &transaction, const QString &document, const QString &name);

// The message, from the settings' sender, with the receipt attached.
MailMessage message(const EmailSettings &settings, const QString &to, const QString &subject, const QString &text,
                    ReceiptSheet sheet, const ReceiptValues &values);

} // namespace receiptemail
