#include "TempDatabase.h"

#include "data/DatabaseCreator.h"

TempDatabase::TempDatabase()
    : m_path(m_dir.filePath(QStringLiteral("QUINDELO.FDB")))
{
    databasecreator::create(m_path);
}

int addCliente(DataModule &dm, const QString &name)
{
    dm.Clientes.open();
    dm.Clientes.insert();
    dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(name);
    dm.Clientes.post();
    dm.Tra.commitRetaining();
    return dm.Clientes.fieldByName(QStringLiteral("ID_CLIENTE")).asInteger();
}

QString testServer()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER");
}

QString testServerFolder()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER_DIR");
}
