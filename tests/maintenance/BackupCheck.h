#pragma once

#include <QByteArray>
#include <QString>

// What the backup tests share: a database filled with every kind of value,
// a dump of all it holds, and Firebird's own tools to restore and read it.
namespace backupcheck {

// Rows of every kind, blobs up to 400 KB, accented text and moved generators.
extern const char kFill[];
// Everything the fill wrote, blobs by length and hash, as text.
extern const char kDump[];

// Runs an isql-fb script on a database (a file or "host/port:path"); its output.
QString isql(const QString &database, const QByteArray &script);
// Restores with "gbak -c"; empty when it succeeded, else gbak's output.
QString restore(const QString &backupFile, const QString &database);
// Fills a fresh database with kFill; empty when it worked, else why not.
QString fill(const QString &database);

QByteArray contents(const QString &path);
bool writeFile(const QString &path, const QByteArray &data);

} // namespace backupcheck
