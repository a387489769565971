#pragma once

#include "ExportCommand.h"

class RelatorioPeriodo;

namespace quindeloexport {

// mensal ANO [--tipo RECEBIMENTO|PAGAMENTO] -o SAIDA.csv: the count and the
// total of each month's receipts, for the Carnê-Leão.
Subcommand mensalSubcommand();

// What periodo writes: --formato pdf|csv|xlsx, else the output's extension
// (.pdf, .jpg, .csv, .xlsx).
enum class PeriodOutput { Pdf, Jpeg, Csv, Xlsx };
PeriodOutput periodOutputOf(const Request &request);

// The period's rows, the query already open, as the spreadsheet asked for.
void writePeriodSpreadsheet(RelatorioPeriodo &relatorio, PeriodOutput output, const QString &path);

} // namespace quindeloexport
