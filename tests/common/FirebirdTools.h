#pragma once

#include <QByteArray>
#include <QString>

// Firebird's own command-line tools on a database file, each a process of its
// own: a second view of what the program wrote. They inherit FIREBIRD_LOCK, so
// they share the embedded engine's lock folder with the test. A tool that
// cannot start or does not end within two minutes stops the test program.

// isql-fb running the script on a UTF8 connection; what it printed, errors included.
QString isql(const QString &database, const QByteArray &script);

// gbak -c of the backup file into a new database; empty when it worked, else what gbak said.
QString gbakRestore(const QString &backupFile, const QString &database);
