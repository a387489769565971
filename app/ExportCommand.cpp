#include "ExportCommand.h"

#include "data/Datamodule1.h"
#include "data/ErrorText.h"
#include "data/IniFile.h"
#include "reportengine/ReportError.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace quindeloexport {

namespace {

QString usageOf(const QList<Subcommand> &subcommands)
{
    QString text = QStringLiteral("Uso:\n");
    for (const Subcommand &subcommand : subcommands)
        text += QStringLiteral("  quindelo-export %1\n").arg(subcommand.usage);
    return text;
}

Request parse(const QStringList &arguments, const Subcommand &subcommand, QString *database)
{
    Request request;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto valueOf = [&]() {
            if (i + 1 >= arguments.size())
                throw ExportError(QStringLiteral("Falta o valor de %1.").arg(argument));
            return arguments.at(++i);
        };
        if (argument == QLatin1String("-o"))
            request.output = valueOf();
        else if (argument == QLatin1String("--banco"))
            *database = valueOf();
        else if (subcommand.flags.contains(argument))
            request.flags.insert(argument);
        else if (subcommand.options.contains(argument))
            request.options.insert(argument, valueOf());
        else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            throw ExportError(QStringLiteral("Opção desconhecida: %1").arg(argument));
        else
            request.arguments << argument;
    }
    const bool sentElsewhere =
        !subcommand.replacesOutput.isEmpty() && request.options.contains(subcommand.replacesOutput);
    if (subcommand.writesOutput && request.output.isEmpty() && !sentElsewhere)
        throw ExportError(QStringLiteral("Indique o arquivo de saída com -o SAIDA."));
    if (!subcommand.writesOutput && !request.output.isEmpty())
        throw ExportError(QStringLiteral("O comando %1 não grava arquivo de saída: retire -o.").arg(subcommand.name));
    return request;
}

QString textOf(const std::exception &error)
{
    if (const auto *exportError = dynamic_cast<const ExportError *>(&error))
        return exportError->message();
    if (const auto *reportError = dynamic_cast<const ReportError *>(&error))
        return reportError->message();
    return errortext::forUser(error);
}

bool isLocalPath(const QString &path)
{
    // "host:/path" goes through a server; a local file can be checked before opening.
    return !path.contains(QLatin1Char(':'));
}

} // namespace

QString databasePath(const QString &executableFolder, const QString &given)
{
    if (!given.isEmpty())
        return given;
    const IniFile ini(QDir(executableFolder).filePath(QStringLiteral("Arquivo.ini")));
    const QString configured = ini.readString(QStringLiteral("Configuracoes"), QStringLiteral("CaminhoBD"), QString());
    if (!configured.isEmpty())
        return configured;
    const QString home = qEnvironmentVariable("QUINDELO_HOME", QDir::home().filePath(QStringLiteral("Quindelo")));
    return QDir(home).filePath(DataModule::kDefaultDatabase);
}

bool wantsPdf(const QString &output)
{
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return true;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return false;
    throw ExportError(QStringLiteral("O arquivo de saída deve terminar em .pdf ou .jpg: %1").arg(output));
}

int run(const QStringList &arguments, const QList<Subcommand> &subcommands, const QString &executableFolder,
        QTextStream &errors)
{
    try {
        if (arguments.isEmpty())
            throw ExportError(usageOf(subcommands).trimmed());
        const Subcommand *chosen = nullptr;
        for (const Subcommand &subcommand : subcommands) {
            if (subcommand.name == arguments.first())
                chosen = &subcommand;
        }
        if (!chosen)
            throw ExportError(QStringLiteral("Comando desconhecido: %1\n%2").arg(arguments.first(), usageOf(subcommands).trimmed()));

        QString given;
        const Request request = parse(arguments.mid(1), *chosen, &given);
        const QString database = databasePath(executableFolder, given);
        if (isLocalPath(database) && !QFileInfo::exists(database))
            throw ExportError(QStringLiteral("Banco de dados não encontrado: %1").arg(database));

        // No Arquivo.ini in play: the path is already decided.
        DataModule dataModule{QString()};
        dataModule.Base.setDatabaseName(database);
        chosen->run(request, dataModule);
        return 0;
    } catch (const std::exception &error) {
        errors << textOf(error) << Qt::endl;
        return 1;
    }
}

} // namespace quindeloexport
