#include "BackupCheck.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "maintenance/DatabaseBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace backupcheck;

namespace {

// Marks every data page of a table as another kind of page, so that a backup
// stops with an error once it reaches that table's rows, after it has begun
// writing its file. Returns how many pages were marked.
int damageTable(const QString &database, const QString &table)
{
    const QString answer = isql(database, QStringLiteral("set list on; select rdb$relation_id as ID from rdb$relations "
                                                         "where rdb$relation_name = '%1';").arg(table).toUtf8());
    const QRegularExpressionMatch id = QRegularExpression(QStringLiteral("ID\\s+(\\d+)")).match(answer);
    if (!id.hasMatch())
        return 0;
    QFile file(database);
    if (!file.open(QIODevice::ReadWrite))
        return 0;
    QByteArray bytes = file.readAll();
    // Page header: the type in the first byte; a data page names its table at byte 20.
    const int pageSize = 8192;
    const char dataPage = 5;
    const char indexPage = 7;
    const quint16 relation = id.captured(1).toUShort();
    int damaged = 0;
    for (int page = 0; page + pageSize <= bytes.size(); page += pageSize) {
        const auto *header = reinterpret_cast<const uchar *>(bytes.constData() + page);
        if (header[0] == dataPage && quint16(header[20] | (header[21] << 8)) == relation) {
            bytes[page] = indexPage;
            ++damaged;
        }
    }
    file.seek(0);
    return file.write(bytes) == bytes.size() ? damaged : 0;
}

} // namespace

// Backups of databases that a Firebird server holds, made by that server's
// service manager on this machine.
class TstServerBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lockFolder;
    QDir m_folder;

    // "host/port:path" of a file in this run's folder on the server.
    QString onServer(const QString &name) const { return testServer() + QLatin1Char(':') + m_folder.filePath(name); }

    static void backUp(const QString &database, const QString &file, QStringList *progress = nullptr)
    {
        DatabaseBackup(QStringLiteral("sysdba"), QStringLiteral("tarvolimb")).run(database, file, [&](const QString &line) {
            if (progress)
                *progress << line;
        });
    }

    // The server's message for a backup that must fail; empty when it did not.
    static QString failure(const QString &database, const QString &file, QStringList *progress = nullptr)
    {
        try {
            backUp(database, file, progress);
        } catch (const DatabaseError &error) {
            return error.message();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        if (testServer().isEmpty() || testServerFolder().isEmpty())
            QSKIP("No Firebird server: scripts/test starts one and sets QUINDELO_TEST_SERVER (host/port) "
                  "and QUINDELO_TEST_SERVER_DIR.");
        QVERIFY(m_lockFolder.isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_lockFolder.path()));
        m_folder.setPath(QDir(testServerFolder()).filePath(QUuid::createUuid().toString(QUuid::Id128)));
        QVERIFY(m_folder.mkpath(QStringLiteral("Backup")));
    }

    void backupThroughTheServerRestoresEverything()
    {
        const QString database = onServer(QStringLiteral("CHEIO.FDB"));
        databasecreator::create(database);
        const QString filled = fill(database);
        QVERIFY2(filled.isEmpty(), qPrintable(filled));
        const QString before = isql(database, kDump);
        QVERIFY2(before.contains(QRegularExpression(QStringLiteral("CLIENTES\\s+400\\b"))), qPrintable(before.left(500)));

        const QString file = m_folder.filePath(QStringLiteral("Backup/CHEIO08122026.gbk"));
        QStringList progress;
        backUp(database, file, &progress);

        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
        QVERIFY2(progress.filter(QStringLiteral("RECIBOS")).size() > 0, qPrintable(progress.join('\n')));
        QTemporaryDir restoreFolder;
        const QString restored = restoreFolder.filePath(QStringLiteral("RESTAURADO.FDB"));
        const QString restoreError = gbakRestore(file, restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        QCOMPARE(isql(restored, kDump), before);
    }

    // A backup that fails, before or after the server began writing, keeps
    // yesterday's file; the next backup that succeeds replaces it with a
    // complete one. The missing database is then created where it was looked
    // for; the damaged one, which the server may still hold for a moment after
    // its failure, is replaced by a sound database of another name.
    void failedBackupKeepsTheEarlierFileUntilOneSucceeds_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("retried");

        QTest::newRow("database missing") << "FALTANDO.FDB" << false << "FALTANDO.FDB" << "FALTANDO.FDB";
        QTest::newRow("table unreadable halfway") << "DANIFICADO.FDB" << true << "wrong page type" << "SADIO.FDB";
    }

    void failedBackupKeepsTheEarlierFileUntilOneSucceeds()
    {
        QFETCH(QString, database);
        QFETCH(bool, damaged);
        QFETCH(QString, reason);
        QFETCH(QString, retried);
        const QString path = m_folder.filePath(database);
        if (damaged) {
            // Made here before the server ever opens it, so no page of it is in the server's cache.
            databasecreator::create(path);
            const QString filled = fill(path);
            QVERIFY2(filled.isEmpty(), qPrintable(filled));
            QVERIFY(damageTable(path, QStringLiteral("RECIBOS")) > 0);
        }
        const QString file = m_folder.filePath(QStringLiteral("Backup/") + database + QStringLiteral(".gbk"));
        const QByteArray yesterday("backup de ontem");
        QVERIFY(writeFile(file, yesterday));

        QStringList progress;
        const QString message = failure(onServer(database), file, &progress);
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(!message.contains(DatabaseBackup::temporaryName(file)), qPrintable(message));
        if (damaged)
            QVERIFY2(progress.filter(QStringLiteral("CLIENTES")).size() > 0, qPrintable(progress.join('\n')));
        QCOMPARE(contents(file), yesterday);
        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));

        databasecreator::create(onServer(retried));
        backUp(onServer(retried), file);
        QVERIFY(contents(file) != yesterday);
        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
        QTemporaryDir restoreFolder;
        const QString restoreError = gbakRestore(file, restoreFolder.filePath(QStringLiteral("R.FDB")));
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
    }

    void destinationTheServerCannotWrite_data()
    {
        QTest::addColumn<QString>("destination");

        QTest::newRow("missing folder") << "nao/existe/Q.gbk";
        QTest::newRow("folder that is a file") << "arquivo/Q.gbk";
        QTest::newRow("folder that is the database") << "VAZIO.FDB/Q.gbk";
        // There, not even a server running as root may make a file.
        QTest::newRow("folder no one may write") << "/proc/Q.gbk";
    }

    void destinationTheServerCannotWrite()
    {
        QFETCH(QString, destination);
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("arquivo")), "não é uma pasta"));
        const QString database = onServer(QStringLiteral("VAZIO.FDB"));
        if (!QFile::exists(m_folder.filePath(QStringLiteral("VAZIO.FDB"))))
            databasecreator::create(database);
        const QString file = m_folder.filePath(destination);

        const QString message = failure(database, file);
        QVERIFY2(message.contains(QStringLiteral("cannot open backup file %1").arg(file)), qPrintable(message));
        QVERIFY2(!message.contains(DatabaseBackup::temporaryName(file)), qPrintable(message));
        QVERIFY(!QFile::exists(file));
        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
    }

    void unreachableServerIsReported()
    {
        const QString message = failure(QStringLiteral("127.0.0.1/1:") + m_folder.filePath(QStringLiteral("Q.FDB")),
                                         m_folder.filePath(QStringLiteral("Backup/Q.gbk")));
        QVERIFY2(message.contains(QStringLiteral("127.0.0.1")), qPrintable(message));
        QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("Backup/Q.gbk"))));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TstServerBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_serverbackup.moc"
