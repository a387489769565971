#pragma once

#include <QByteArray>
#include <QString>

// What the backup tests share: a database filled with every kind of value,
// and a dump of all it holds (read with the tools of common/FirebirdTools.h).
namespace backupcheck {

// Rows of every kind, blobs up to 400 KB, accented text and moved generators.
extern const char kFill[];
// Everything the fill wrote, blobs by length and hash, as text.
extern const char kDump[];
// Changes and deletes rows of every table the fill wrote, the logo and generators included.
extern const char kChange[];

// Fills a fresh database with kFill; empty when it worked, else why not.
QString fill(const QString &database);

// A backup through the program's own code; empty when it worked, else why not.
QString backUp(const QString &database, const QString &file);
// Keeps the first part of a file, as an interrupted copy does.
bool cut(const QString &path, double keptFraction);

QByteArray contents(const QString &path);
bool writeFile(const QString &path, const QByteArray &data);

} // namespace backupcheck
