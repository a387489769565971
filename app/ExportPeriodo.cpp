#include "ExportPeriodo.h"

#include "ExportPlanilha.h"

#include "reportengine/ReportExport.h"
#include "reportengine/ReportPreparation.h"
#include "reports/RelatorioPeriodo.h"

namespace quindeloexport {

namespace {

QDate day(const QString &text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid() || text.size() != 10)
        throw ExportError(QStringLiteral("Data inválida: %1 (use AAAA-MM-DD).").arg(text));
    return date;
}

const PeriodoRecibos &periodOf(const Request &request)
{
    const auto tipo = request.options.constFind(QStringLiteral("--tipo"));
    if (tipo == request.options.constEnd())
        return kTodosRecibos;
    if (*tipo == kRecibosPagamento.tipo)
        return kRecibosPagamento;
    if (*tipo == kRecibosRecebimento.tipo)
        return kRecibosRecebimento;
    throw ExportError(QStringLiteral("Tipo inválido: %1 (use PAGAMENTO ou RECEBIMENTO).").arg(*tipo));
}

void exportPeriod(const Request &request, DataModule &dm)
{
    if (request.arguments.size() != 2)
        throw ExportError(QStringLiteral("Indique a primeira e a última data do período."));
    const QDate first = day(request.arguments.at(0));
    const QDate last = day(request.arguments.at(1));
    const PeriodoRecibos &period = periodOf(request);
    const PeriodOutput output = periodOutputOf(request);

    RelatorioPeriodo relatorio(period, dm);
    relatorio.abreConsulta(first, last);
    if (output == PeriodOutput::Csv || output == PeriodOutput::Xlsx) {
        writePeriodSpreadsheet(relatorio, output, request.output);
        return;
    }
    // Each page is written as it is prepared: memory stays the same whatever the period holds.
    ReportPreparation preparation(relatorio.frpEvento());
    const QString title = period.caption.trimmed();
    if (output == PeriodOutput::Pdf)
        reportexport::toPdf(preparation, request.output, title);
    else
        reportexport::toJpeg(preparation, request.output);
}

} // namespace

Subcommand periodoSubcommand()
{
    return {QStringLiteral("periodo"),
            QStringLiteral("periodo AAAA-MM-DD AAAA-MM-DD [--tipo PAGAMENTO|RECEBIMENTO] [--formato pdf|csv|xlsx] "
                           "[--banco CAMINHO] -o SAIDA.pdf|SAIDA.jpg|SAIDA.csv|SAIDA.xlsx"),
            {},
            {QStringLiteral("--tipo"), QStringLiteral("--formato")},
            exportPeriod};
}

} // namespace quindeloexport
