#include "BackupCheck.h"
#include "OwnServer.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "app/QuindeloApplication.h"
#include "data/DatabaseCreator.h"
#include "maintenance/DatabaseBackup.h"
#include "maintenance/frmBackup.h"
#include "widgets/TitlePanel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <memory>

namespace {

const QDate kToday(2026, 12, 8);

// Answers the next message box the screen shows, keeping what it said.
struct MessageBoxAnswer
{
    QString text;
    QString reason;
    bool seen = false;

    void arm()
    {
        QTimer::singleShot(0, [this] { answer(); });
    }

    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [this] { answer(); });
            return;
        }
        seen = true;
        text = box->text();
        reason = box->informativeText();
        box->button(QMessageBox::Ok)->click();
    }
};

} // namespace

class TstFrmBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lockFolder;
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<Module> m_module;
    std::unique_ptr<frmBackupForm> m_form;
    int m_completed = 0;

    QLineEdit *edit(const char *name) { return m_form->findChild<QLineEdit *>(QLatin1String(name)); }
    void clickBackup() { QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("Panel1")), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        // A lock folder of our own keeps other programs' engines out of our way.
        QVERIFY(m_lockFolder.isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_lockFolder.path()));
    }

    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_module = std::make_unique<Module>(m_db->path());
        // The screen reaches whichever module the test holds when it is shown.
        m_form = std::make_unique<frmBackupForm>([this]() -> Database & { return m_module->dm.Base; },
                                                 [this] { ++m_completed; });
        m_form->setToday([] { return kToday; });
        m_completed = 0;
    }

    void cleanup()
    {
        m_form.reset();
        m_module.reset();
        m_db.reset();
    }

    void showingClosesTheConnectionAndSetsTheFields()
    {
        addCliente(m_module->dm, QStringLiteral("ANA"));
        QVERIFY(m_module->dm.Base.connected());
        m_form->show();
        QVERIFY(!m_module->dm.Base.connected());
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Backup / Restauração do Banco"));
        QCOMPARE(m_form->titlePanel()->caption(), QStringLiteral("  Backup dos Dados"));
        QCOMPARE(m_form->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Local do Backup"));
        QCOMPARE(m_form->findChild<QPushButton *>(QStringLiteral("Panel1"))->text(), QStringLiteral("REALIZAR BACKUP"));
        QCOMPARE(edit("edtBanco")->text(), m_db->path());
        QVERIFY(edit("edtBanco")->isReadOnly() && !edit("edtBanco")->isVisible());
        QCOMPARE(edit("edtDestino")->text(), m_db->folder() + QStringLiteral("/Backup/QUINDELO.FDB"));

        edit("edtDestino")->setText(QStringLiteral("/outro/lugar.fdb"));
        m_form->hide();
        m_form->show();
        QCOMPARE(edit("edtDestino")->text(), m_db->folder() + QStringLiteral("/Backup/QUINDELO.FDB"));
    }

    void backupWaitsForTheServiceThenHandsOver()
    {
        addCliente(m_module->dm, QStringLiteral("JOSÉ"));
        m_form->show();
        clickBackup();
        QCOMPARE(m_completed, 1);
        const QString file = m_db->folder() + QStringLiteral("/Backup/QUINDELO08122026.gbk");
        QVERIFY(QFileInfo(file).size() > 0);
        QVERIFY(!QFile::exists(DatabaseBackup::temporaryName(file)));
        const QString progress = m_form->findChild<QPlainTextEdit *>(QStringLiteral("memProgresso"))->toPlainText();
        QVERIFY2(progress.contains(QStringLiteral("CLIENTES")), qPrintable(progress));
        QVERIFY(m_form->findChild<QPushButton *>(QStringLiteral("Panel1"))->isEnabled());
    }

    void failureShowsTheReasonAndASecondTryWorks_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("removeDatabase");
        QTest::addColumn<QString>("reason");

        QTest::newRow("folder that is a file") << "arquivo/Q.FDB" << false << "cannot open backup file";
        QTest::newRow("database missing") << "Backup/QUINDELO.FDB" << true << "QUINDELO.FDB";
    }

    void failureShowsTheReasonAndASecondTryWorks()
    {
        QFETCH(QString, destination);
        QFETCH(bool, removeDatabase);
        QFETCH(QString, reason);
        const QDir folder(m_db->folder());
        QFile blocker(folder.filePath(QStringLiteral("arquivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString moved = folder.filePath(QStringLiteral("guardado.fdb"));
        if (removeDatabase)
            QVERIFY(QFile::rename(m_db->path(), moved));

        m_form->show();
        edit("edtDestino")->setText(folder.filePath(destination));
        MessageBoxAnswer answer;
        answer.arm();
        clickBackup();
        QVERIFY(answer.seen);
        QCOMPARE(answer.text, QStringLiteral("Erro no Backup ! Tente novamente"));
        QVERIFY2(answer.reason.contains(reason), qPrintable(answer.reason));
        QCOMPARE(m_completed, 0);
        QVERIFY(m_form->isVisible());
        QCOMPARE(edit("edtDestino")->text(), folder.filePath(destination));
        QCOMPARE(folder.entryList({QStringLiteral("*.gbk*")}, QDir::Files), QStringList());

        // The cause removed, the same screen succeeds.
        if (removeDatabase)
            QVERIFY(QFile::rename(moved, m_db->path()));
        else
            QVERIFY(blocker.remove());
        clickBackup();
        QCOMPARE(m_completed, 1);
        QVERIFY(QFile::exists(DatabaseBackup::fileName(folder.filePath(destination), kToday)));
    }

    // A database a server on this machine holds: its Backup folder is made
    // beside it, the missing database is reported, and once it is there the
    // same screen writes a backup that restores.
    void serverDatabaseMissingThenBackedUp()
    {
        if (testServer().isEmpty() || testServerFolder().isEmpty())
            QSKIP("No Firebird server: scripts/test starts one and sets QUINDELO_TEST_SERVER and QUINDELO_TEST_SERVER_DIR.");
        const QDir folder(QDir(testServerFolder()).filePath(QUuid::createUuid().toString(QUuid::Id128)));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const QString database = testServer() + QLatin1Char(':') + folder.filePath(QStringLiteral("QUINDELO.FDB"));
        m_module = std::make_unique<Module>(database);

        m_form->show();
        QCOMPARE(edit("edtBanco")->text(), database);
        QCOMPARE(edit("edtDestino")->text(), folder.filePath(QStringLiteral("Backup/QUINDELO.FDB")));
        MessageBoxAnswer answer;
        answer.arm();
        clickBackup();
        QVERIFY(answer.seen);
        QCOMPARE(answer.text, QStringLiteral("Erro no Backup ! Tente novamente"));
        QVERIFY2(answer.reason.contains(folder.filePath(QStringLiteral("QUINDELO.FDB"))), qPrintable(answer.reason));
        QCOMPARE(m_completed, 0);
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("Backup"))).isDir());
        QCOMPARE(QDir(folder.filePath(QStringLiteral("Backup"))).entryList(QDir::Files), QStringList());

        databasecreator::create(database);
        addCliente(m_module->dm, QStringLiteral("JOSÉ DA CONCEIÇÃO"));
        clickBackup();
        QCOMPARE(m_completed, 1);
        const QString file = folder.filePath(QStringLiteral("Backup/QUINDELO08122026.gbk"));
        QCOMPARE(QDir(folder.filePath(QStringLiteral("Backup"))).entryList(QDir::Files),
                 QStringList{QFileInfo(file).fileName()});
        QTemporaryDir restoreFolder;
        const QString restored = restoreFolder.filePath(QStringLiteral("R.FDB"));
        const QString restoreError = gbakRestore(file, restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        const QString rows = isql(restored, "set list on; select CLIENTE from CLIENTES;");
        QVERIFY2(rows.contains(QStringLiteral("JOSÉ DA CONCEIÇÃO")), qPrintable(rows));
    }

    // The server stopped: the error with the reason, the screen stays; the
    // server started again, a second click on the same screen succeeds.
    void serverStoppedThenStarted()
    {
        if (testServer().isEmpty())
            QSKIP("No Firebird server: scripts/test installs and starts one and sets QUINDELO_TEST_SERVER.");
        OwnServer server;
        const QString started = server.start();
        QVERIFY2(started.isEmpty(), qPrintable(started));
        const QDir folder(server.dataFolder());
        const QString database = server.address() + QLatin1Char(':') + folder.filePath(QStringLiteral("QUINDELO.FDB"));
        databasecreator::create(database);
        m_module = std::make_unique<Module>(database);
        addCliente(m_module->dm, QStringLiteral("ANA"));
        m_form->show();

        const QString stopped = server.stop();
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        MessageBoxAnswer answer;
        answer.arm();
        clickBackup();
        QVERIFY(answer.seen);
        QCOMPARE(answer.text, QStringLiteral("Erro no Backup ! Tente novamente"));
        QVERIFY2(answer.reason.contains(QStringLiteral("127.0.0.1")), qPrintable(answer.reason));
        QCOMPARE(m_completed, 0);
        QVERIFY(m_form->isVisible());
        const QDir backups(folder.filePath(QStringLiteral("Backup")));
        QCOMPARE(backups.entryList(QDir::Files), QStringList());

        const QString again = server.start();
        QVERIFY2(again.isEmpty(), qPrintable(again));
        clickBackup();
        QCOMPARE(m_completed, 1);
        QCOMPARE(backups.entryList(QDir::Files), QStringList{QStringLiteral("QUINDELO08122026.gbk")});
        QTemporaryDir restoreFolder;
        const QString restored = restoreFolder.filePath(QStringLiteral("R.FDB"));
        const QString restoreError = gbakRestore(backups.filePath(QStringLiteral("QUINDELO08122026.gbk")), restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        const QString rows = isql(restored, "set list on; select CLIENTE from CLIENTES;");
        QVERIFY2(rows.contains(QStringLiteral("ANA")), qPrintable(rows));
    }

    void closingLeavesAConnectionForTheNextScreen()
    {
        const int before = addCliente(m_module->dm, QStringLiteral("ANTES"));
        m_form->show();
        QTest::mouseClick(m_form->findChild<QWidget *>(QStringLiteral("Image1")), Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        QVERIFY(!m_module->dm.Base.connected());
        const int after = addCliente(m_module->dm, QStringLiteral("DEPOIS"));
        QVERIFY(m_module->dm.Base.connected());
        QCOMPARE(after, before + 1);
    }
};

int main(int argc, char *argv[])
{
    QuindeloApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TstFrmBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_frmbackup.moc"
