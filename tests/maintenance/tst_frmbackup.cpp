#include "BackupCheck.h"
#include "OwnServer.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "common/ModalAnswerer.h"

#include "app/QuindeloApplication.h"
#include "data/DatabaseCreator.h"
#include "dialogs/Mensagens.h"
#include "maintenance/DatabaseBackup.h"
#include "maintenance/DatabaseRestore.h"
#include "maintenance/frmBackup.h"
#include "widgets/TitlePanel.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
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
    std::unique_ptr<MessageDialog> m_question = createMessageDialog(QStringLiteral("FRmensagem15"));
    std::unique_ptr<MessageDialog> m_restored = createMessageDialog(QStringLiteral("FRmensagem16"));
    std::unique_ptr<frmBackupForm> m_form;
    int m_completed = 0;

    QLineEdit *edit(const char *name) { return m_form->findChild<QLineEdit *>(QLatin1String(name)); }
    QListWidget *backups() { return m_form->findChild<QListWidget *>(QStringLiteral("LBbackups")); }
    void clickBackup() { QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("Panel1")), Qt::LeftButton); }
    void clickRestore() { QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("Panel2")), Qt::LeftButton); }
    QStringList listed()
    {
        QStringList rows;
        for (int i = 0; i < backups()->count(); ++i)
            rows << backups()->item(i)->text();
        return rows;
    }
    static QStringList messages(const ModalAnswerer &answers)
    {
        return answers.names().filter(QRegularExpression(QStringLiteral("^(FRmensagem|Erro)")));
    }

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
        m_form = std::make_unique<frmBackupForm>(frmBackupForm::Collaborators{
            [this]() -> Database & { return m_module->dm.Base; }, [this] { ++m_completed; },
            [this]() -> MessageDialog & { return *m_question; }, [this] { m_restored->showModal(); }});
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
        // Said in Portuguese first; the service's own words only as the detail.
        QVERIFY2(answer.reason.indexOf(QStringLiteral("Detalhe técnico:")) > 0, qPrintable(answer.reason));
        QVERIFY2(answer.reason.indexOf(reason) > answer.reason.indexOf(QStringLiteral("Detalhe técnico:")),
                 qPrintable(answer.reason));
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
        // The first sentence, before Firebird's detail, names the server that did not answer.
        const QString sentence = answer.reason.section(QStringLiteral("Detalhe técnico:"), 0, 0);
        QVERIFY2(sentence.contains(server.address()), qPrintable(answer.reason));
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

    void listShowsTheFolderBackupsNewestFirst()
    {
        const QDir folder(m_db->folder() + QStringLiteral("/Backup"));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const struct
        {
            const char *name;
            QDateTime modified;
            qint64 size;
        } files[] = {
            {"QUINDELO07122026.gbk", QDateTime(QDate(2026, 12, 7), QTime(9, 30)), 3 * 1024 * 512},
            {"QUINDELO09122026.gbk", QDateTime(QDate(2026, 12, 9), QTime(14, 5)), qint64(189) * 1024 * 1024 + 20000},
            {"velho.gbk", QDateTime(QDate(2025, 1, 31), QTime(23, 59)), 0},
            {"notas.txt", QDateTime(QDate(2027, 1, 1), QTime(8, 0)), 10},
            {"QUINDELO10122026.gbk.parcial", QDateTime(QDate(2026, 12, 10), QTime(8, 0)), 10},
        };
        for (const auto &entry : files) {
            QFile file(folder.filePath(QLatin1String(entry.name)));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(entry.size));
            QVERIFY(file.setFileTime(entry.modified, QFileDevice::FileModificationTime));
        }
        m_form->show();
        QCOMPARE(listed(), (QStringList{QStringLiteral("09/12/2026 14:05 — QUINDELO09122026.gbk — 189,0 MB"),
                                        QStringLiteral("07/12/2026 09:30 — QUINDELO07122026.gbk — 1,5 MB"),
                                        QStringLiteral("31/01/2025 23:59 — velho.gbk — 0,0 MB")}));

        // Another destination lists its own folder.
        edit("edtDestino")->setText(m_db->folder() + QStringLiteral("/vazia/QUINDELO.FDB"));
        emit edit("edtDestino")->editingFinished();
        QCOMPARE(listed(), QStringList());
    }

    void restoreFromTheScreen_data()
    {
        QTest::addColumn<bool>("fromChooser");
        QTest::addColumn<bool>("yes");

        QTest::newRow("selected row, Sim") << false << true;
        QTest::newRow("selected row, Não") << false << false;
        QTest::newRow("no row, file chooser, Sim") << true << true;
    }

    // The backup comes back, the rows added since it are gone, and the program
    // works on through the same module; the old database is kept and shown.
    void restoreFromTheScreen()
    {
        QFETCH(bool, fromChooser);
        QFETCH(bool, yes);
        addCliente(m_module->dm, QStringLiteral("ANA"));
        m_form->show();
        clickBackup();
        QCOMPARE(m_completed, 1);
        m_form->hide();
        addCliente(m_module->dm, QStringLiteral("DEPOIS DO BACKUP"));
        const QString file = m_db->folder() + QStringLiteral("/Backup/QUINDELO08122026.gbk");
        m_form->show();
        QCOMPARE(listed().size(), 1);

        ModalAnswerer answers;
        QStringList filters;
        if (fromChooser) {
            answers.then([&](QWidget *window) {
                auto *chooser = qobject_cast<QFileDialog *>(window);
                filters = chooser->nameFilters();
                auto *name = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name->setText(file);
                QTest::keyClick(name, Qt::Key_Return);
            });
        } else {
            backups()->setCurrentRow(0);
        }
        answers.thenClick(yes ? QStringLiteral("Sim") : QStringLiteral("Não"));
        answers.thenClick(QStringLiteral("OK"));
        clickRestore();

        if (fromChooser)
            QCOMPARE(filters, QStringList{QStringLiteral("Backups (*.gbk)")});
        QCOMPARE(messages(answers), yes ? (QStringList{QStringLiteral("FRmensagem15"), QStringLiteral("FRmensagem16")})
                                        : QStringList{QStringLiteral("FRmensagem15")});
        const auto question = std::find_if(answers.seen().cbegin(), answers.seen().cend(),
                                           [](const ModalAnswerer::Seen &seen) { return seen.name == QLatin1String("FRmensagem15"); });
        QCOMPARE(question->texts, (QStringList{QStringLiteral("Restaurar este backup ?"), QStringLiteral("QUINDELO08122026.gbk")}));
        QCOMPARE(rowCount(m_module->dm, QStringLiteral("CLIENTES where CLIENTE = 'DEPOIS DO BACKUP'")), yes ? 0 : 1);
        QCOMPARE(rowCount(m_module->dm, QStringLiteral("CLIENTES where CLIENTE = 'ANA'")), 1);
        addCliente(m_module->dm, QStringLiteral("DEPOIS DA RESTAURAÇÃO"));
        m_module->dm.Base.close();

        const auto *anterior = m_form->findChild<QLabel *>(QStringLiteral("lblAnterior"));
        QCOMPARE(anterior->isVisible(), yes);
        QCOMPARE(listed().size(), yes ? 2 : 1);
        const QStringList kept = QDir(m_db->folder()).entryList({QStringLiteral("QUINDELO-antes-da-restauracao-*.FDB")});
        QCOMPARE(kept.size(), yes ? 1 : 0);
        if (yes) {
            QVERIFY2(anterior->text().contains(kept.first()), qPrintable(anterior->text()));
            QVERIFY(listed().filter(QStringLiteral("-antes-da-restauracao.gbk")).size() == 1);
            const QString old = isql(QDir(m_db->folder()).filePath(kept.first()), "set list on; select CLIENTE from CLIENTES;");
            QVERIFY2(old.contains(QStringLiteral("DEPOIS DO BACKUP")), qPrintable(old));
        }
    }

    void failedRestoreShowsTheReasonAndChangesNothing()
    {
        addCliente(m_module->dm, QStringLiteral("ANA"));
        QVERIFY(QDir(m_db->folder()).mkpath(QStringLiteral("Backup")));
        QVERIFY(backupcheck::writeFile(m_db->folder() + QStringLiteral("/Backup/falso.gbk"), "não é um backup"));
        m_form->show();
        backups()->setCurrentRow(0);
        ModalAnswerer answers;
        answers.thenClick(QStringLiteral("Sim"));
        answers.thenClick(QStringLiteral("OK"));
        clickRestore();

        QCOMPARE(messages(answers), (QStringList{QStringLiteral("FRmensagem15"), QStringLiteral("ErroRestauracao")}));
        const QString said = answers.seen().last().texts.join(QLatin1Char('\n'));
        QVERIFY2(said.contains(QStringLiteral("Erro na Restauração ! Tente novamente")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("não é um backup do Firebird")), qPrintable(said));
        QVERIFY(m_form->isVisible());
        QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("lblAnterior"))->isVisible());
        QCOMPARE(rowCount(m_module->dm, QStringLiteral("CLIENTES where CLIENTE = 'ANA'")), 1);
        QCOMPARE(QDir(m_db->folder()).entryList(QDir::Files), QStringList{QStringLiteral("QUINDELO.FDB")});
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
