#pragma once

#include <QString>
#include <QStringList>

// Creates a database with the program's schema through the client library.
namespace databasecreator {

// The statements of an SQL script, split at ";" outside literals and comments.
QStringList splitScript(const QString &script);

// True when the path names a file on this machine (no "host:" part).
bool isLocalPath(const QString &path);

// Refuses an existing file (nothing is touched); throws DatabaseError.
void create(const QString &path, const QString &user = QStringLiteral("sysdba"),
            const QString &password = QStringLiteral("tarvolimb"));

// The schema the program works on, as shipped inside the executable.
QString schemaScript();

} // namespace databasecreator
