#pragma once

#include <QString>

#include <exception>

class DatabaseError;
class QFileDevice;

// The Portuguese words for what goes wrong below the program: the database
// client and the file system. Firebird's own text is kept as a technical detail.
namespace errortext {

// The sentence that says what a Firebird error means to the user, chosen by
// its codes; empty for errors that are already our own words.
QString explanation(const DatabaseError &error);

// What the user reads: the explanation, then Firebird's text under "Detalhe técnico:".
QString forUser(const DatabaseError &error);
// The same for any error; an error that is not the database's is shown by its own text.
QString forUser(const std::exception &error);

// The server part of a database name ("servidor/3051:/dados/Q.FDB" gives "servidor/3051"); empty for a local file.
QString serverOf(const QString &databaseName);

// Why reading or writing a file failed, in Portuguese, for "Não foi possível gravar o arquivo X: ...".
QString fileProblem(const QFileDevice &file);

} // namespace errortext
