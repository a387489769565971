#pragma once

#include "ExportCommand.h"

namespace quindeloexport {

// declaracao ANO (--cpfcnpj DOC | --nome NOME) [--tipo RECEBIMENTO|PAGAMENTO] -o SAIDA.pdf:
// the annual statement of payments to or from one party, as the report menu makes it.
Subcommand declaracaoSubcommand();

// The one positional argument ANO, a year from 1900 to 9999.
int yearOf(const Request &request);
// --tipo, RECEBIMENTO unless PAGAMENTO is asked for.
QString kindOf(const Request &request);

} // namespace quindeloexport
