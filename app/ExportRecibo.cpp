#include "ExportRecibo.h"

#include "ExportEmail.h"

#include "data/Datamodule1.h"
#include "receipts/ReceiptPrinting.h"
#include "reportengine/ReportExport.h"

namespace quindeloexport {

namespace {

QList<int> receiptIds(const QStringList &arguments)
{
    if (arguments.isEmpty())
        throw ExportError(QStringLiteral("Indique o número de ao menos um recibo."));
    QList<int> ids;
    for (const QString &argument : arguments) {
        bool ok = false;
        const int id = argument.toInt(&ok);
        if (!ok || id <= 0)
            throw ExportError(QStringLiteral("Número de recibo inválido: %1").arg(argument));
        ids << id;
    }
    return ids;
}

void exportReceipts(const Request &request, DataModule &dm)
{
    const QList<int> ids = receiptIds(request.arguments);
    const ReceiptSheet sheet =
        request.flags.contains(QStringLiteral("--duas-vias")) ? ReceiptSheet::TwoPerSheet : ReceiptSheet::OnePerSheet;
    if (request.options.contains(kEmailOption))
        return emailReceipt(request, ids, sheet, dm);
    const bool pdf = wantsPdf(request.output);

    dm.Emitente.open();
    Report layout = receiptLayout(sheet);
    PreparedReport pages;
    for (int id : ids) {
        // The id is a checked integer, so it can stand in the text.
        dm.Recibos.requery({QStringLiteral("select * from RECIBOS"), QStringLiteral("where ID_RECIBO = %1").arg(id)});
        if (dm.Recibos.isEmpty())
            throw ExportError(QStringLiteral("Recibo %1 não encontrado.").arg(id));
        fillReceipt(layout, sheet, receiptValues(dm.Recibos, dm.Emitente));
        layout.prepareReport();
        pages.append(layout.preparedPages());
    }
    if (pdf)
        reportexport::toPdf(pages, request.output, QStringLiteral("Recibos"));
    else
        reportexport::toJpeg(pages, request.output);
}

} // namespace

Subcommand reciboSubcommand()
{
    return {QStringLiteral("recibo"),
            QStringLiteral("recibo ID [ID...] [--duas-vias] [--banco CAMINHO] -o SAIDA.pdf|SAIDA.jpg\n"
                           "  quindelo-export recibo ID --email ENDERECO [--duas-vias] [--banco CAMINHO]"),
            {QStringLiteral("--duas-vias")},
            {kEmailOption},
            exportReceipts,
            kEmailOption};
}

} // namespace quindeloexport
