#pragma once

namespace fb {

// With Debian's default ServerMode = Super only one process may open an embedded
// database file. Before the engine first starts, every process of ours points
// FIREBIRD at one private root per user whose firebird.conf says SuperClassic
// (and the lock folder beside it, unless one is given), so the program, a second
// window and quindelo-export share the file. A FIREBIRD given from outside is kept.
void prepareSharedRoot();

} // namespace fb
