#include "BackupCheck.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "data/DatabaseError.h"
#include "data/ServiceManager.h"
#include "maintenance/DatabaseBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace backupcheck;

namespace {

const QDate kToday(2026, 12, 8);

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
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("onThisMachine");
        QTest::addColumn<QString>("destination");

        QTest::newRow("local file") << "/home/ana/Quindelo/QUINDELO.FDB" << "service_mgr"
                                    << "/home/ana/Quindelo/QUINDELO.FDB" << "" << true
                                    << "/home/ana/Quindelo/Backup/QUINDELO.FDB";
        QTest::newRow("colon in a folder") << "/dados:2026/Q.FDB" << "service_mgr" << "/dados:2026/Q.FDB" << "" << true
                                           << "/dados:2026/Backup/Q.FDB";
        QTest::newRow("server") << "servidor:/srv/q/QUINDELO.FDB" << "servidor:service_mgr" << "/srv/q/QUINDELO.FDB"
                                << "servidor" << false << "/srv/q/Backup/QUINDELO.FDB";
        QTest::newRow("server and port") << "localhost/3058:/srv/q/Q.FDB" << "localhost/3058:service_mgr"
                                         << "/srv/q/Q.FDB" << "localhost" << true << "/srv/q/Backup/Q.FDB";
        QTest::newRow("localhost in capitals") << "LocalHost:/q.fdb" << "LocalHost:service_mgr" << "/q.fdb"
                                               << "LocalHost" << true << "/Backup/q.fdb";
        QTest::newRow("loopback address") << "127.0.0.1/3059:/q.fdb" << "127.0.0.1/3059:service_mgr" << "/q.fdb"
                                          << "127.0.0.1" << true << "/Backup/q.fdb";
        QTest::newRow("other address") << "192.168.0.10/3050:/q.fdb" << "192.168.0.10/3050:service_mgr" << "/q.fdb"
                                       << "192.168.0.10" << false << "/Backup/q.fdb";
        QTest::newRow("IPv6 loopback") << "[::1]:/srv/q.fdb" << "[::1]:service_mgr" << "/srv/q.fdb" << "::1" << true
                                       << "/srv/Backup/q.fdb";
        QTest::newRow("IPv6 and port") << "[fe80::1]/3050:/q.fdb" << "[fe80::1]/3050:service_mgr" << "/q.fdb"
                                       << "fe80::1" << false << "/Backup/q.fdb";
        QTest::newRow("this machine's name") << QSysInfo::machineHostName() + ":/q.fdb"
                                             << QSysInfo::machineHostName() + ":service_mgr" << "/q.fdb"
                                             << QSysInfo::machineHostName() << true << "/Backup/q.fdb";
        QTest::newRow("server alias") << "servidor:quindelo" << "servidor:service_mgr" << "quindelo" << "servidor"
                                      << false << "Backup/quindelo";
        QTest::newRow("windows server path") << "servidor:C:\\Dados\\Q.FDB" << "servidor:service_mgr"
                                             << "C:\\Dados\\Q.FDB" << "servidor" << false << "C:\\Dados\\Backup\\Q.FDB";
    }

    void whoHoldsTheDatabase()
    {
        QFETCH(QString, database);
        QFETCH(QString, service);
        QFETCH(QString, pathOnServer);
        QFETCH(QString, host);
        QFETCH(bool, onThisMachine);
        QFETCH(QString, destination);
        QCOMPARE(ServiceManager::nameFor(database), service);
        QCOMPARE(ServiceManager::pathOnServer(database), pathOnServer);
        QCOMPARE(ServiceManager::serverHost(database), host);
        QCOMPARE(ServiceManager::heldOnThisMachine(database), onThisMachine);
        QCOMPARE(DatabaseBackup::defaultDestination(database), destination);
    }

    // Only a file this machine sees, in a folder it may write, is renamed here.
    void renamableHere_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("renamable");

        QTest::newRow("embedded, folder here") << "/x/Q.FDB" << "%1/Q.gbk" << true;
        QTest::newRow("embedded, relative") << "Q.FDB" << "Q.gbk" << true;
        QTest::newRow("embedded, missing folder") << "/x/Q.FDB" << "%1/nao/Q.gbk" << true;
        QTest::newRow("localhost, folder here") << "localhost:/x/Q.FDB" << "%1/Q.gbk" << true;
        QTest::newRow("loopback and port") << "127.0.0.1/3059:/x/Q.FDB" << "%1/Q.gbk" << true;
        QTest::newRow("IPv6 loopback") << "[::1]/3050:/x/Q.FDB" << "%1/Q.gbk" << true;
        QTest::newRow("localhost, missing folder") << "localhost:/x/Q.FDB" << "%1/nao/Q.gbk" << false;
        QTest::newRow("localhost, folder is a file") << "localhost:/x/Q.FDB" << "%1/arquivo/Q.gbk" << false;
        QTest::newRow("localhost, relative") << "localhost:/x/Q.FDB" << "Q.gbk" << false;
        QTest::newRow("localhost, date alone") << "localhost:/x/Q.FDB" << "08122026.gbk" << false;
        QTest::newRow("other server, same path here") << "servidor:/x/Q.FDB" << "%1/Q.gbk" << false;
    }

    void renamableHere()
    {
        QFETCH(QString, database);
        QFETCH(QString, destination);
        QFETCH(bool, renamable);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("arquivo")), "não é uma pasta"));
        QCOMPARE(DatabaseBackup::renamableHere(database, destination.replace(QStringLiteral("%1"), folder.path())),
                 renamable);
    }

    void makeFolder_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("made");

        QTest::newRow("embedded, several levels") << "/x/Q.FDB" << "%1/a/b/Q.gbk" << "a/b";
        QTest::newRow("server here, one level") << "localhost/3050:/x/Q.FDB" << "%1/Backup/Q.gbk" << "Backup";
        QTest::newRow("server here, two levels") << "127.0.0.1:/x/Q.FDB" << "%1/a/b/Q.gbk" << "";
        QTest::newRow("server here, relative") << "localhost:/x/Q.FDB" << "Backup/Q.gbk" << "";
        QTest::newRow("remote server") << "servidor:/x/Q.FDB" << "%1/Backup/Q.gbk" << "";
    }

    // The folder made for a server here takes the group and permissions of
    // the folder it is made in, which the server may write.
    void makeFolder()
    {
        QFETCH(QString, database);
        QFETCH(QString, destination);
        QFETCH(QString, made);
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
            | QFile::ExeGroup;
        QVERIFY(QFile::setPermissions(folder.path(), shared));
        // A group other than our own, where we may give one, so that copying it shows.
        if (geteuid() == 0)
            QCOMPARE(chown(QFile::encodeName(folder.path()).constData(), uid_t(-1), gid_t(100)), 0);

        DatabaseBackup::makeFolder(database, destination.replace(QStringLiteral("%1"), folder.path()));
        QDir::setCurrent(previous);

        const QStringList entries = QDir(folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(entries, made.isEmpty() ? QStringList() : QStringList{made.section(QLatin1Char('/'), 0, 0)});
        if (made.isEmpty())
            return;
        const QFileInfo madeFolder(QDir(folder.path()).filePath(made));
        QVERIFY(madeFolder.isDir());
        if (database.startsWith(QLatin1Char('/')))
            return;
        QCOMPARE(madeFolder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), shared);
        QCOMPARE(madeFolder.groupId(), QFileInfo(folder.path()).groupId());
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
        const QString filled = fill(db.path());
        QVERIFY2(filled.isEmpty(), qPrintable(filled));
        const QString before = isql(db.path(), kDump);
        QVERIFY2(before.contains(QRegularExpression(QStringLiteral("CLIENTES\\s+400\\b"))), qPrintable(before.left(500)));
        QVERIFY2(before.contains(QRegularExpression(QStringLiteral("\\bA\\s+987654321\\b"))), qPrintable(before.right(500)));

        const QString file = db.folder() + QStringLiteral("/Backup/QUINDELO08122026.gbk");
        QDir().mkpath(db.folder() + QStringLiteral("/Backup"));
        QVERIFY(writeFile(file, "uma cópia antiga"));
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
        QVERIFY(writeFile(folder.filePath(QStringLiteral("arquivo")), "não é uma pasta"));
        const QString file = folder.filePath(destination);
        if (previousCopy)
            QVERIFY(writeFile(file, "cópia de ontem"));
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

    void completeBackupThatCannotTakeItsNameIsKept()
    {
        TempDatabase db;
        const QDir folder(db.folder());
        // A folder with something in it stands under the backup's name.
        const QString file = folder.filePath(QStringLiteral("Q.gbk"));
        QVERIFY(folder.mkdir(QStringLiteral("Q.gbk")));
        QVERIFY(writeFile(QDir(file).filePath(QStringLiteral("dentro")), "ocupado"));
        try {
            DatabaseBackup(QStringLiteral("sysdba"), QStringLiteral("tarvolimb")).run(db.path(), file);
            QFAIL("the backup took a name that a folder holds");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(DatabaseBackup::temporaryName(file)), qPrintable(error.message()));
        }
        const QString restored = folder.filePath(QStringLiteral("RESTAURADO.FDB"));
        const QString restoreError = gbakRestore(DatabaseBackup::temporaryName(file), restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
    }

    // Last: the signal stays noted for the rest of the process.
    void terminationSignalCancelsTheBackup()
    {
        TempDatabase db;
        const QString filled = fill(db.path());
        QVERIFY2(filled.isEmpty(), qPrintable(filled));
        const QString file = db.folder() + QStringLiteral("/Q.gbk");
        int linesAfterSignal = -1;
        try {
            DatabaseBackup(QStringLiteral("sysdba"), QStringLiteral("tarvolimb")).run(db.path(), file, [&](const QString &) {
                if (++linesAfterSignal == 0)
                    ::raise(SIGTERM);
            });
            QFAIL("the backup ran on after SIGTERM");
        } catch (const DatabaseError &error) {
            QCOMPARE(error.message(), QStringLiteral("O backup foi cancelado porque o programa está sendo encerrado."));
        }
        QCOMPARE(linesAfterSignal, 0);
        QVERIFY(!QFile::exists(file));
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
