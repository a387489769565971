#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "data/DatabaseError.h"
#include "data/ServiceManager.h"
#include "maintenance/DatabaseBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate kToday(2026, 12, 8);

// Rows of every kind, blobs up to 400 KB, accented text and moved generators.
const char kFill[] = R"(
set term ^;
execute block as
  declare i int = 0;
  declare logo blob sub_type 0;
begin
  while (i < 400) do begin
    insert into CLIENTES (ID_CLIENTE, CLIENTE, CIDADE, UF, CPF, CLASSIFICACAO, DATANASCIMENTO, FOTO_MARC)
    values (gen_id(GEN_CLIENTES_ID, 1), 'JOSÉ DA CONCEIÇÃO ' || :i, 'São Paulo', 'SP', '123.456.789-01', 'FÍSICA',
            dateadd(:i day to date '1970-01-01'), iif(mod(:i, 3) = 0, null, lpad('', :i * 20, 'ab' || :i)));
    insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, VALOREXTENSO, DATA, HORA, TIPO, REFERENTE)
    values (gen_id(GEN_RECIBOS_ID, 1), 'CLIENTE ' || :i, 'EMPRESA LTDA', :i * 100.25 + 0.01, 'Cem Reais.',
            dateadd(:i day to date '2024-01-01'), time '13:45:10', iif(mod(:i, 2) = 0, 'PAGAMENTO', 'RECEBIMENTO'),
            'serviços nº ' || :i);
    i = i + 1;
  end
  logo = '';
  i = 0;
  while (i < 50) do begin
    logo = logo || lpad('', 8000, 'logo' || :i);
    i = i + 1;
  end
  insert into EMITENTE (ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE, FOTO_MARC)
  values (gen_id(GEN_EMITENTES_ID, 7), 'EMPRESA LTDA', '12.345.678/0001-90', 'Recife', :logo);
end^
set term ;^
set generator GEN_AGENDAMENTOS_ID to 987654321;
commit;
)";

// Everything the fill wrote, blobs by length and hash, as text.
const char kDump[] = R"(
set list on;
select count(*) as CLIENTES, sum(octet_length(FOTO_MARC)) as BYTES from CLIENTES;
select ID_CLIENTE, CLIENTE, CIDADE, UF, CPF, CLASSIFICACAO, DATANASCIMENTO, octet_length(FOTO_MARC) TAMANHO, hash(FOTO_MARC) HASH from CLIENTES order by 1;
select * from RECIBOS order by 1;
select ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE, octet_length(FOTO_MARC) TAMANHO, hash(FOTO_MARC) HASH from EMITENTE;
select * from TIPO order by 1;
select * from TIPO2 order by 1;
select gen_id(GEN_CLIENTES_ID, 0) C, gen_id(GEN_EMITENTES_ID, 0) E, gen_id(GEN_RECIBOS_ID, 0) R,
       gen_id(GEN_AGENDAMENTOS_ID, 0) A from rdb$database;
)";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class TstBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lockFolder;

private slots:
    void initTestCase()
    {
        // A lock folder of our own, shared with the isql-fb and gbak we start,
        // keeps other programs' engines on this machine out of our way.
        QVERIFY(m_lockFolder.isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_lockFolder.path()));
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");

        QTest::newRow("default") << "/home/ana/Quindelo/Backup/QUINDELO.FDB" << kToday
                                 << "/home/ana/Quindelo/Backup/QUINDELO08122026.gbk";
        QTest::newRow("windows path") << "D:\\copias\\base.fdb" << kToday << "D:\\copias\\base08122026.gbk";
        QTest::newRow("no extension") << "D:\\copias\\base" << kToday << "D:\\copias\\08122026.gbk";
        QTest::newRow("padded day and month") << "/b/x.fdb" << QDate(2027, 1, 5) << "/b/x05012027.gbk";
        QTest::newRow("five characters") << "a.fdb" << kToday << "a08122026.gbk";
        QTest::newRow("four characters") << "base" << kToday << "08122026.gbk";
        QTest::newRow("two characters") << "ab" << kToday << "08122026.gbk";
        QTest::newRow("empty") << "" << kToday << "08122026.gbk";
    }

    void fileName()
    {
        QFETCH(QString, destination);
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        QCOMPARE(DatabaseBackup::fileName(destination, today), expected);
    }

    void whoHoldsTheDatabase_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("pathOnServer");
        QTest::addColumn<QString>("destination");

        QTest::newRow("local file") << "/home/ana/Quindelo/QUINDELO.FDB" << "service_mgr"
                                    << "/home/ana/Quindelo/QUINDELO.FDB" << "/home/ana/Quindelo/Backup/QUINDELO.FDB";
        QTest::newRow("colon in a folder") << "/dados:2026/Q.FDB" << "service_mgr" << "/dados:2026/Q.FDB"
                                           << "/dados:2026/Backup/Q.FDB";
        QTest::newRow("server") << "servidor:/srv/q/QUINDELO.FDB" << "servidor:service_mgr" << "/srv/q/QUINDELO.FDB"
                                << "/srv/q/Backup/QUINDELO.FDB";
        QTest::newRow("server and port") << "localhost/3058:/srv/q/Q.FDB" << "localhost/3058:service_mgr"
                                         << "/srv/q/Q.FDB" << "/srv/q/Backup/Q.FDB";
        QTest::newRow("server alias") << "servidor:quindelo" << "servidor:service_mgr" << "quindelo"
                                      << "Backup/quindelo";
        QTest::newRow("windows server path") << "servidor:C:\\Dados\\Q.FDB" << "servidor:service_mgr"
                                             << "C:\\Dados\\Q.FDB" << "C:\\Dados\\Backup\\Q.FDB";
    }

    void whoHoldsTheDatabase()
    {
        QFETCH(QString, database);
        QFETCH(QString, service);
        QFETCH(QString, pathOnServer);
        QFETCH(QString, destination);
        QCOMPARE(ServiceManager::nameFor(database), service);
        QCOMPARE(ServiceManager::pathOnServer(database), pathOnServer);
        QCOMPARE(DatabaseBackup::defaultDestination(database), destination);
    }

    void relativeDatabaseBecomesAbsolute()
    {
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const QString path = DatabaseBackup::databasePath(QStringLiteral("QUINDELO.FDB"));
        QDir::setCurrent(previous);
        QCOMPARE(path, QDir(folder.path()).filePath(QStringLiteral("QUINDELO.FDB")));
        QCOMPARE(DatabaseBackup::databasePath(QStringLiteral("servidor:/q.fdb")), QStringLiteral("servidor:/q.fdb"));
    }

    void backupRestoresEveryRowBlobAndGenerator()
    {
        TempDatabase db;
        const QString filled = isql(db.path(), kFill);
        QVERIFY2(filled.trimmed().isEmpty(), qPrintable(filled));
        const QString before = isql(db.path(), kDump);
        QVERIFY2(before.contains(QRegularExpression(QStringLiteral("CLIENTES\\s+400\\b"))), qPrintable(before.left(500)));
        QVERIFY2(before.contains(QRegularExpression(QStringLiteral("\\bA\\s+987654321\\b"))), qPrintable(before.right(500)));

        const QString file = db.folder() + QStringLiteral("/Backup/QUINDELO08122026.gbk");
        QDir().mkpath(db.folder() + QStringLiteral("/Backup"));
        writeFile(file, "uma cópia antiga");
        QStringList progress;
        DatabaseBackup(QStringLiteral("sysdba"), QStringLiteral("tarvolimb"))
            .run(db.path(), file, [&](const QString &line) { progress << line; });

        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
        QVERIFY2(progress.filter(QStringLiteral("RECIBOS")).size() > 0, qPrintable(progress.join('\n')));
        const QString restored = db.folder() + QStringLiteral("/RESTAURADO.FDB");
        const QString restoreError = gbakRestore(file, restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        QCOMPARE(isql(restored, kDump), before);
    }

    void failedBackupLeavesNoFile_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("previousCopy");
        QTest::addColumn<QString>("message");

        QTest::newRow("missing folder") << "QUINDELO.FDB" << "nao/existe/Q.gbk" << false << "cannot open backup file %1";
        QTest::newRow("folder that is a file") << "QUINDELO.FDB" << "arquivo/Q.gbk" << false << "cannot open backup file %1";
        QTest::newRow("missing database") << "SUMIU.FDB" << "Q.gbk" << false << "SUMIU.FDB";
        QTest::newRow("missing database, earlier copy") << "SUMIU.FDB" << "Q.gbk" << true << "SUMIU.FDB";
        QTest::newRow("server not running") << "localhost/1:QUINDELO.FDB" << "Q.gbk" << true << "localhost";
    }

    void failedBackupLeavesNoFile()
    {
        QFETCH(QString, database);
        QFETCH(QString, destination);
        QFETCH(bool, previousCopy);
        QFETCH(QString, message);
        TempDatabase db;
        const QDir folder(db.folder());
        writeFile(folder.filePath(QStringLiteral("arquivo")), "não é uma pasta");
        const QString file = folder.filePath(destination);
        if (previousCopy)
            writeFile(file, "cópia de ontem");
        const QString path = database.contains(QLatin1Char(':')) ? database.replace(QStringLiteral("QUINDELO.FDB"), db.path())
                                                                 : folder.filePath(database);
        try {
            DatabaseBackup(QStringLiteral("sysdba"), QStringLiteral("tarvolimb")).run(path, file);
            QFAIL("the backup did not fail");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(message.replace(QStringLiteral("%1"), file)), qPrintable(error.message()));
            QVERIFY2(!error.message().contains(DatabaseBackup::temporaryName(file)), qPrintable(error.message()));
        }
        QCOMPARE(contents(file), previousCopy ? QByteArray("cópia de ontem") : QByteArray());
        QCOMPARE(QFile::exists(file), previousCopy);
        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TstBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backup.moc"
