#pragma once

#include "ExportCommand.h"

namespace quindeloexport {

// periodo AAAA-MM-DD AAAA-MM-DD [--tipo PAGAMENTO|RECEBIMENTO] [--formato pdf|csv|xlsx]
// -o SAIDA: the receipt list of a period, through the period screens' own query
// and layout, or its rows as a spreadsheet; without --tipo it is "Todos os Recibos".
Subcommand periodoSubcommand();

} // namespace quindeloexport
