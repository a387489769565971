#pragma once

#include "ExportCommand.h"

namespace quindeloexport {

// restaurar ARQUIVO.gbk: puts the backup in place of the database, as the
// backup screen's "RESTAURAR BACKUP" does, after a safety backup of it into
// the Backup folder beside it.
Subcommand restaurarSubcommand();

} // namespace quindeloexport
