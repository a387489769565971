#pragma once

#include "ExportCommand.h"

namespace quindeloexport {

// periodo AAAA-MM-DD AAAA-MM-DD [--tipo PAGAMENTO|RECEBIMENTO] -o SAIDA.pdf: the
// receipt list of a period, through the period screens' own query and layout;
// without --tipo it is "Todos os Recibos".
Subcommand periodoSubcommand();

} // namespace quindeloexport
