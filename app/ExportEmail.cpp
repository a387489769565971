#include "ExportEmail.h"

#include "data/Datamodule1.h"
#include "mail/MailError.h"
#include "mail/SmtpSender.h"
#include "receipts/ReceiptEmail.h"

#include <QTextStream>

namespace quindeloexport {

void emailReceipt(const Request &request, const QList<int> &ids, ReceiptSheet sheet, DataModule &dm)
{
    if (ids.size() != 1)
        throw ExportError(QStringLiteral("Envie um recibo por vez com --email."));
    if (!request.output.isEmpty())
        throw ExportError(QStringLiteral("Use -o ou --email, não os dois."));
    const QString to = request.options.value(kEmailOption);
    if (!mailheaders::isValidAddress(to))
        throw ExportError(enderecoInvalido(to));

    const QString settingsFile = emailsettings::defaultPath();
    std::optional<EmailSettings> settings;
    try {
        settings = emailsettings::load(settingsFile);
    } catch (const MailError &error) {
        throw ExportError(error.reason());
    }
    if (!settings || !settings->isComplete())
        throw ExportError(QStringLiteral("O envio de e-mail ainda não foi configurado: informe o servidor e o remetente "
                                         "no programa (Configurações do Sistema, \"Configurar e-mail\") ou em %1.")
                              .arg(settingsFile));

    // The id is a checked integer, so it can stand in the text.
    dm.Emitente.open();
    dm.Recibos.requery({QStringLiteral("select * from RECIBOS"), QStringLiteral("where ID_RECIBO = %1").arg(ids.first())});
    if (dm.Recibos.isEmpty())
        throw ExportError(QStringLiteral("Recibo %1 não encontrado.").arg(ids.first()));
    const ReceiptValues values = receiptValues(dm.Recibos, dm.Emitente);
    const MailMessage message = receiptemail::message(*settings, to, receiptemail::subject(values),
                                                      receiptemail::text(values), sheet, values);
    try {
        SmtpSender(*settings).send(message);
    } catch (const MailError &error) {
        throw ExportError(falhaNoEnvio(error.reason()));
    }
    QTextStream(stdout) << QStringLiteral("Recibo enviado para %1.").arg(to) << Qt::endl;
}

} // namespace quindeloexport
