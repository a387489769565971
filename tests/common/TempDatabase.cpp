#include "TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"

TempDatabase::TempDatabase()
    : m_path(m_dir.filePath(QStringLiteral("QUINDELO.FDB")))
{
    databasecreator::create(m_path);
}

void pointAt(DataModule &module, const QString &databasePath)
{
    module.Base.setDatabaseName(databasePath);
}

QString testServer()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER");
}

QString testServerFolder()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER_DIR");
}
