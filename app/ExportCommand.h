#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

class DataModule;
class QTextStream;

// quindelo-export: renders receipts and reports to files, and restores backups,
// from the command line. Each subcommand names its own flags and options;
// --banco CAMINHO belongs to all of them, -o SAIDA to those that write a file.
namespace quindeloexport {

// A problem to report to the user as it stands; the command exits with status 1.
class ExportError : public std::runtime_error
{
public:
    explicit ExportError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

struct Request
{
    QStringList arguments;           // positional, after the subcommand
    QSet<QString> flags;             // "--duas-vias"
    QHash<QString, QString> options; // "--tipo" -> "PAGAMENTO"
    QString output;                  // -o
};

struct Subcommand
{
    QString name;
    QString usage; // the line after "quindelo-export"
    QStringList flags;
    QStringList options;
    std::function<void(const Request &, DataModule &)> run;
    // An option that sends the result elsewhere, so -o is not needed with it.
    QString replacesOutput;
    bool writesOutput = true; // needs -o SAIDA
};

// The database the program itself would open, unless the caller names one.
QString databasePath(const QString &executableFolder, const QString &given);

// Parses the arguments (without the program name), opens the data module and
// runs the subcommand. Returns the exit status; errors go to `errors` in Portuguese.
int run(const QStringList &arguments, const QList<Subcommand> &subcommands, const QString &executableFolder,
        QTextStream &errors);

// "SAIDA.pdf" or "SAIDA.jpg"/"SAIDA.jpeg": true for a PDF; anything else is an error.
bool wantsPdf(const QString &output);

} // namespace quindeloexport
