#pragma once

#include "ExportCommand.h"

namespace quindeloexport {

// recibo ID [ID...] [--duas-vias] -o SAIDA.pdf|SAIDA.jpg: each receipt on a page
// of its own, filled as the print tiles fill it.
Subcommand reciboSubcommand();

} // namespace quindeloexport
