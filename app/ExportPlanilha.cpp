#include "ExportPlanilha.h"

#include "ExportDeclaracao.h"

#include "reports/PlanilhaPeriodo.h"
#include "reports/TotaisMensais.h"

#include <QFileInfo>

namespace quindeloexport {

namespace {

void exportMonthlyTotals(const Request &request, DataModule &dm)
{
    const int year = yearOf(request);
    const QString kind = kindOf(request);
    if (QFileInfo(request.output).suffix().toLower() != QLatin1String("csv"))
        throw ExportError(QStringLiteral("O arquivo de saída deve terminar em .csv: %1").arg(request.output));
    planilha::gravaCsv(planilhaMensal(year, totaisMensais(dm, year, kind)), request.output);
}

// The output a file name stands for; false when its extension names none.
bool outputOfSuffix(const QString &path, PeriodOutput *output)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        *output = PeriodOutput::Pdf;
    else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        *output = PeriodOutput::Jpeg;
    else if (suffix == QLatin1String("csv"))
        *output = PeriodOutput::Csv;
    else if (suffix == QLatin1String("xlsx"))
        *output = PeriodOutput::Xlsx;
    else
        return false;
    return true;
}

} // namespace

PeriodOutput periodOutputOf(const Request &request)
{
    PeriodOutput bySuffix = PeriodOutput::Pdf;
    const bool named = outputOfSuffix(request.output, &bySuffix);
    const auto format = request.options.constFind(QStringLiteral("--formato"));
    if (format == request.options.constEnd()) {
        if (!named)
            throw ExportError(
                QStringLiteral("O arquivo de saída deve terminar em .pdf, .jpg, .csv ou .xlsx: %1").arg(request.output));
        return bySuffix;
    }
    PeriodOutput asked = PeriodOutput::Pdf;
    if (*format == QLatin1String("csv"))
        asked = PeriodOutput::Csv;
    else if (*format == QLatin1String("xlsx"))
        asked = PeriodOutput::Xlsx;
    else if (*format != QLatin1String("pdf"))
        throw ExportError(QStringLiteral("Formato inválido: %1 (use pdf, csv ou xlsx).").arg(*format));
    if (named && bySuffix != asked)
        throw ExportError(QStringLiteral("O arquivo de saída %1 não é do formato %2.").arg(request.output, *format));
    return asked;
}

void writePeriodSpreadsheet(RelatorioPeriodo &relatorio, PeriodOutput output, const QString &path)
{
    planilha::grava(planilhaDoPeriodo(relatorio), path,
                    output == PeriodOutput::Csv ? planilha::Formato::Csv : planilha::Formato::Xlsx);
}

Subcommand mensalSubcommand()
{
    return {QStringLiteral("mensal"),
            QStringLiteral("mensal ANO [--tipo RECEBIMENTO|PAGAMENTO] [--banco CAMINHO] -o SAIDA.csv"),
            {},
            {QStringLiteral("--tipo")},
            exportMonthlyTotals};
}

} // namespace quindeloexport
