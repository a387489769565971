#include "TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/Numeric.h"
#include "data/Statement.h"

#include <QDir>
#include <QFile>

namespace {

// Made once per test program: a copy of it is much faster to have than a new one.
QString emptyDatabase()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString made = folder.filePath(QStringLiteral("EMPTY.FDB"));
        databasecreator::create(made);
        return made;
    }();
    return path;
}

} // namespace

TempDatabase::TempDatabase()
    : m_path(m_dir.filePath(QStringLiteral("QUINDELO.FDB")))
{
    if (!QFile::copy(emptyDatabase(), m_path))
        qFatal("Could not copy the empty database to %s", qPrintable(m_path));
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

int rowCount(DataModule &dm, const QString &from)
{
    dm.Base.open();
    return dm.Base.prepared(QStringLiteral("SELECT COUNT(*) FROM ") + from).execute(dm.Tra).value(0).toInt();
}

void fillRecibos(DataModule &dm, int count)
{
    dm.Base.open();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA) values (gen_id(GEN_RECIBOS_ID, 1), :EMITENTE, :VALOR, :DATA)"));
    for (int i = 1; i <= count; ++i)
        insert.execute(dm.Tra, QVariantList{QStringLiteral("PAGADOR %1").arg(i), QVariant::fromValue(Numeric{i * 123450LL, -2}),
                                            QDate(2024, 3, 15).addDays(i - 1)});
    dm.Tra.commitRetaining();
}

void writeDatabaseIni(const QString &folder, const QString &databasePath)
{
    QFile ini(QDir(folder).filePath(QStringLiteral("Arquivo.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("Could not write %s", qPrintable(ini.fileName()));
    ini.write("[Configuracoes]\nCaminhoBD=" + databasePath.toUtf8() + "\n");
}

QString testServer()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER");
}

QString testServerFolder()
{
    return qEnvironmentVariable("QUINDELO_TEST_SERVER_DIR");
}
