#include "BackupCheck.h"
#include "OwnServer.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/ServiceManager.h"
#include "maintenance/DatabaseRestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

using namespace backupcheck;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(14, 5, 12));

ino_t inode(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// Files may grow to `bytes` only, as on a disk about to fill up; lifted with the object.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous;
};

} // namespace

class TstRestore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lockFolder;

    static DatabaseRestore::Result restore(const QString &database, const QString &backupFile, const QString &safety,
                                           const DatabaseRestore::Progress &progress = {})
    {
        return DatabaseRestore(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword)
            .run(database, backupFile, safety, kNow, progress);
    }

    // The reason the restore gave for failing; empty when it did not fail.
    static QString failure(const QString &database, const QString &backupFile, const QString &safety,
                           const DatabaseRestore::Progress &progress = {})
    {
        try {
            restore(database, backupFile, safety, progress);
        } catch (const DatabaseError &error) {
            return error.message();
        }
        return QString();
    }

    // A filled database, its backup and then changes: what the backup holds and what the database holds now.
    static void prepare(const QString &database, const QString &backupFile, QString *backedUp, QString *changed)
    {
        const QString filled = fill(database);
        QVERIFY2(filled.isEmpty(), qPrintable(filled));
        *backedUp = isql(database, kDump);
        QVERIFY2(backedUp->contains(QRegularExpression(QStringLiteral("CLIENTES\\s+400\\b"))), qPrintable(backedUp->left(300)));
        const QString backupError = backUp(database, backupFile);
        QVERIFY2(backupError.isEmpty(), qPrintable(backupError));
        const QString changing = isql(database, kChange);
        QVERIFY2(changing.trimmed().isEmpty(), qPrintable(changing));
        *changed = isql(database, kDump);
        QVERIFY(*changed != *backedUp);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_lockFolder.isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_lockFolder.path()));
        // A console that stays open and silent, as a terminal does: a restore
        // that waited there for an answer would never end.
        int console[2];
        QCOMPARE(::pipe(console), 0);
        QVERIFY(::dup2(console[0], STDIN_FILENO) == STDIN_FILENO);
    }

    void restoreBringsBackEveryRowBlobAndGenerator()
    {
        TempDatabase db;
        const QDir folder(db.folder());
        const QString file = folder.filePath(QStringLiteral("Q.gbk"));
        QString backedUp, changed;
        prepare(db.path(), file, &backedUp, &changed);

        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(db.path(), permissions));
        QStringList progress;
        const QString safety = folder.filePath(QStringLiteral("Backup/seguranca-antes-da-restauracao.gbk"));
        const DatabaseRestore::Result result = restore(db.path(), file, safety, [&](const QString &line) { progress << line; });

        QCOMPARE(isql(db.path(), kDump), backedUp);
        QCOMPARE(QFileInfo(db.path()).permissions(), permissions);
        QCOMPARE(result.safetyBackup, safety);
        QCOMPARE(result.keptDatabase, DatabaseRestore::keptName(db.path(), kNow));
        QCOMPARE(isql(result.keptDatabase, kDump), changed);
        const QString fromSafety = folder.filePath(QStringLiteral("SEGURANCA.FDB"));
        const QString restoreError = gbakRestore(safety, fromSafety);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        QCOMPARE(isql(fromSafety, kDump), changed);
        QVERIFY(!QFile::exists(DatabaseRestore::restoringName(db.path())));
        QVERIFY2(progress.filter(QStringLiteral("restoring data for table RECIBOS")).size() == 1, qPrintable(progress.join('\n')));
    }

    // The service counts a big table's rows in steps of ten thousand before its total.
    void bigTableIsCountedToItsTotal()
    {
        TempDatabase db;
        const QString filled = isql(db.path(), "set term ^; execute block as declare i int = 0; begin "
                                               "while (i < 25003) do begin insert into RECIBOS (ID_RECIBO, CLIENTE) "
                                               "values (gen_id(GEN_RECIBOS_ID, 1), 'C' || :i); i = i + 1; end end^ "
                                               "set term ;^ commit;");
        QVERIFY2(filled.trimmed().isEmpty(), qPrintable(filled));
        const QString file = QDir(db.folder()).filePath(QStringLiteral("Q.gbk"));
        const QString backupError = backUp(db.path(), file);
        QVERIFY2(backupError.isEmpty(), qPrintable(backupError));
        QVERIFY2(isql(db.path(), "delete from RECIBOS; commit;").trimmed().isEmpty(), "delete failed");

        restore(db.path(), file, QDir(db.folder()).filePath(QStringLiteral("S.gbk")));
        Module module(db.path());
        QCOMPARE(rowCount(module.dm, QStringLiteral("RECIBOS")), 25003);
    }

    // Each leaves the same database file with the same contents, and nothing
    // restored beside it; the safety backup made first stays.
    void failureLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");

        QTest::newRow("truncated backup") << "truncated" << "O backup está incompleto";
        QTest::newRow("backup cut in its first rows") << "cut early" << "O backup está incompleto";
        QTest::newRow("text file named .gbk") << "text" << "não é um backup do Firebird";
        QTest::newRow("empty file") << "empty" << "não é um backup do Firebird";
        QTest::newRow("no such file") << "missing" << "não pôde ser aberto";
        QTest::newRow("backup without RECIBOS") << "no RECIBOS" << "falta a tabela RECIBOS";
        QTest::newRow("backup without a column") << "no column" << "falta a coluna CLIENTES.CIDADE";
        QTest::newRow("disk fills up") << "disk full" << "Não há espaço em disco";
    }

    void failureLeavesTheDatabaseAsItWas()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        TempDatabase db;
        const QDir folder(db.folder());
        const QString file = folder.filePath(QStringLiteral("Q.gbk"));
        QString backedUp, changed;
        prepare(db.path(), file, &backedUp, &changed);
        if (kind == QLatin1String("truncated"))
            QVERIFY(cut(file, 0.6));
        else if (kind == QLatin1String("cut early"))
            QVERIFY(cut(file, 0.1));
        else if (kind == QLatin1String("text"))
            QVERIFY(writeFile(file, "Isto é uma lista de compras, não um backup.\n"));
        else if (kind == QLatin1String("empty"))
            QVERIFY(writeFile(file, QByteArray()));
        else if (kind == QLatin1String("missing"))
            QVERIFY(QFile::remove(file));
        if (kind.startsWith(QLatin1String("no "))) {
            TempDatabase other;
            const QString dropped = isql(other.path(), kind == QLatin1String("no RECIBOS")
                                                           ? "drop table RECIBOS; commit;"
                                                           : "alter table CLIENTES drop CIDADE; commit;");
            QVERIFY2(dropped.trimmed().isEmpty(), qPrintable(dropped));
            QVERIFY(QFile::remove(file));
            const QString backupError = backUp(other.path(), file);
            QVERIFY2(backupError.isEmpty(), qPrintable(backupError));
        }
        const ino_t before = inode(db.path());
        const QString safety = folder.filePath(QStringLiteral("Backup/S-antes-da-restauracao.gbk"));

        QString message;
        if (kind == QLatin1String("disk full")) {
            // Room for the safety backup, not for the restored database.
            const FileSizeLimit limit(rlim_t(QFileInfo(file).size() + 65536));
            message = failure(db.path(), file, safety);
        } else {
            message = failure(db.path(), file, safety);
        }

        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("O banco em uso não foi alterado.")), qPrintable(message));
        QCOMPARE(inode(db.path()), before);
        QCOMPARE(isql(db.path(), kDump), changed);
        QStringList left = folder.entryList(QDir::Files);
        left.removeAll(QStringLiteral("Q.gbk"));
        QCOMPARE(left, QStringList{QStringLiteral("QUINDELO.FDB")});
        QVERIFY(QFileInfo(safety).size() > 0);
    }

    // A safety backup that cannot be made stops everything before it starts.
    void noSafetyBackupNoRestore()
    {
        TempDatabase db;
        const QDir folder(db.folder());
        const QString file = folder.filePath(QStringLiteral("Q.gbk"));
        QString backedUp, changed;
        prepare(db.path(), file, &backedUp, &changed);
        QVERIFY(writeFile(folder.filePath(QStringLiteral("arquivo")), "não é uma pasta"));

        const ino_t before = inode(db.path());
        const QString message = failure(db.path(), file, folder.filePath(QStringLiteral("arquivo/S.gbk")));
        QVERIFY2(message.contains(QStringLiteral("O backup de segurança")), qPrintable(message));
        // The engine of this process may hold the file a moment longer than the service that failed: no isql here.
        QCOMPARE(inode(db.path()), before);
        Module module(db.path());
        QCOMPARE(rowCount(module.dm, QStringLiteral("RECIBOS")), 150);
        QCOMPARE(folder.entryList(QDir::Files), (QStringList{QStringLiteral("arquivo"), QStringLiteral("Q.gbk"),
                                                            QStringLiteral("QUINDELO.FDB")}));
    }

    // Through a server the database keeps its file; what fails before the
    // server replaces it leaves nothing restored beside it.
    void restoreThroughTheServer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");

        QTest::newRow("complete backup") << "complete" << "";
        QTest::newRow("truncated backup") << "truncated" << "O backup está incompleto";
        QTest::newRow("text file named .gbk") << "text" << "não é um backup do Firebird";
    }

    void restoreThroughTheServer()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (testServer().isEmpty() || testServerFolder().isEmpty())
            QSKIP("No Firebird server: scripts/test starts one and sets QUINDELO_TEST_SERVER and QUINDELO_TEST_SERVER_DIR.");
        const QDir folder(QDir(testServerFolder()).filePath(QUuid::createUuid().toString(QUuid::Id128)));
        QVERIFY(folder.mkpath(QStringLiteral("Backup")));
        const QString database = testServer() + QLatin1Char(':') + folder.filePath(QStringLiteral("QUINDELO.FDB"));
        databasecreator::create(database);
        const QString file = folder.filePath(QStringLiteral("Backup/Q.gbk"));
        QString backedUp, changed;
        prepare(database, file, &backedUp, &changed);
        if (kind == QLatin1String("truncated"))
            QVERIFY(cut(file, 0.6));
        else if (kind == QLatin1String("text"))
            QVERIFY(writeFile(file, "Isto não é um backup.\n"));

        const QString safety = folder.filePath(QStringLiteral("Backup/S-antes-da-restauracao.gbk"));
        const QString message = failure(database, file, safety);
        QVERIFY2(message.contains(reason), qPrintable(message));
        QCOMPARE(isql(database, kDump), reason.isEmpty() ? backedUp : changed);
        QCOMPARE(folder.entryList(QDir::Files), QStringList{QStringLiteral("QUINDELO.FDB")});
        QVERIFY(QFileInfo(safety).size() > 0);
    }

    // The server stops while it restores the backup beside the database: the
    // database is as it was once the server is back, and the half-restored
    // file is gone. Stopped while it restores over the database, the server
    // cannot put it back: the user is sent to the safety backup, which holds it.
    void serverStopsDuringTheRestore_data()
    {
        QTest::addColumn<int>("restore");
        QTest::addColumn<QString>("reason");

        QTest::newRow("beside the database") << 1 << "O banco em uso não foi alterado.";
        QTest::newRow("over the database") << 2 << "restaure o backup de segurança";
    }

    void serverStopsDuringTheRestore()
    {
        QFETCH(int, restore);
        QFETCH(QString, reason);
        if (testServer().isEmpty())
            QSKIP("No Firebird server: scripts/test installs and starts one and sets QUINDELO_TEST_SERVER.");
        OwnServer server;
        const QString started = server.start();
        QVERIFY2(started.isEmpty(), qPrintable(started));
        const QDir folder(server.dataFolder());
        QVERIFY(folder.mkpath(QStringLiteral("Backup")));
        const QString database = server.address() + QLatin1Char(':') + folder.filePath(QStringLiteral("QUINDELO.FDB"));
        databasecreator::create(database);
        const QString file = folder.filePath(QStringLiteral("Backup/Q.gbk"));
        QString backedUp, changed;
        prepare(database, file, &backedUp, &changed);

        int restores = 0;
        QString stopped = QStringLiteral("not stopped");
        const QString safety = folder.filePath(QStringLiteral("Backup/S.gbk"));
        const QString message = failure(database, file, safety, [&](const QString &line) {
            if (line.startsWith(QLatin1String("Restaurando ")))
                ++restores;
            if (restores == restore && line.contains(QLatin1String("restoring data for table"))
                && stopped == QLatin1String("not stopped"))
                stopped = server.stop();
        });
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        QVERIFY2(message.contains(QStringLiteral("servidor do banco de dados")), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY(!QFile::exists(ServiceManager::pathOnServer(DatabaseRestore::restoringName(database))));

        const QString again = server.start();
        QVERIFY2(again.isEmpty(), qPrintable(again));
        if (restore == 1) {
            QCOMPARE(isql(database, kDump), changed);
        } else {
            const QString fromSafety = folder.filePath(QStringLiteral("SEGURANCA.FDB"));
            const QString restoreError = gbakRestore(safety, fromSafety);
            QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
            QCOMPARE(isql(fromSafety, kDump), changed);
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TstRestore test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_restore.moc"
