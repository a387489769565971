#include "ExportRestaurar.h"

#include "data/Datamodule1.h"
#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "maintenance/DatabaseBackup.h"
#include "maintenance/DatabaseRestore.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace quindeloexport {

namespace {

void restoreBackup(const Request &request, DataModule &dm)
{
    if (request.arguments.size() != 1)
        throw ExportError(QStringLiteral("Indique um arquivo de backup (.gbk) a restaurar."));
    dm.Base.close();
    const QString database = DatabaseBackup::databasePath(dm.Base.databaseName());
    // A server reads the backup by its own path; here it must be found first.
    QString file = request.arguments.first();
    if (databasecreator::isLocalPath(database)) {
        if (!QFileInfo(file).isFile())
            throw ExportError(QStringLiteral("Arquivo de backup não encontrado: %1").arg(file));
        file = QFileInfo(file).absoluteFilePath();
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString safetyBackup = DatabaseRestore::safetyBackupName(DatabaseBackup::defaultDestination(database), now);
    DatabaseRestore::Result result;
    try {
        result = DatabaseRestore(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword)
                     .run(database, file, safetyBackup, now);
    } catch (const DatabaseError &error) {
        throw ExportError(QStringLiteral("Erro na Restauração ! Tente novamente\n%1").arg(error.message()));
    }
    QTextStream out(stdout);
    out << QStringLiteral("Backup restaurado: %1\n").arg(file);
    if (!result.keptDatabase.isEmpty())
        out << QStringLiteral("Banco anterior guardado em: %1\n").arg(result.keptDatabase);
    out << QStringLiteral("Backup de segurança: %1").arg(result.safetyBackup) << Qt::endl;
}

} // namespace

Subcommand restaurarSubcommand()
{
    Subcommand subcommand{QStringLiteral("restaurar"), QStringLiteral("restaurar ARQUIVO.gbk [--banco CAMINHO]"), {}, {},
                          restoreBackup};
    subcommand.writesOutput = false;
    return subcommand;
}

} // namespace quindeloexport
