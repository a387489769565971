#include "app/FRprincipal.h"
#include "app/QtTranslations.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "maintenance/DatabaseBackup.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "widgets/ErrorDisplay.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

namespace {

void writeIni(const QString &folder, const QByteArray &content)
{
    QFile file(folder + QStringLiteral("/Arquivo.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class ThrowingObject : public QObject
{
public:
    bool event(QEvent *) override { throw DatabaseError(QStringLiteral("falhou no meio")); }
};

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        errordisplay::clearLastError();
        errordisplay::setPresenter([](const QString &) {});
    }

    void configuredDatabase_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("database");

        QTest::newRow("no file") << false << QByteArray() << "QUINDELO.FDB";
        QTest::newRow("empty value") << true << QByteArray("[Configuracoes]\r\nCaminhoBD=\r\n") << "QUINDELO.FDB";
        QTest::newRow("other key") << true << QByteArray("[Configuracoes]\r\nOutra=x\r\n") << "QUINDELO.FDB";
        QTest::newRow("windows path") << true << QByteArray("[Configuracoes]\r\nCaminhoBD=C:\\Dados\\QUINDELO.FDB\r\n")
                                      << "C:\\Dados\\QUINDELO.FDB";
        QTest::newRow("server path") << true << QByteArray("[Configuracoes]\nCaminhoBD=localhost:/srv/q/QUINDELO.FDB\n")
                                     << "localhost:/srv/q/QUINDELO.FDB";
    }

    void configuredDatabase()
    {
        QFETCH(bool, withFile);
        QFETCH(QByteArray, content);
        QFETCH(QString, database);
        QTemporaryDir folder;
        if (withFile)
            writeIni(folder.path(), content);
        Screens screens;
        screens.create(folder.path());
        QCOMPARE(screens.Datamodule1->Base.databaseName(), database);
        QVERIFY(!screens.Datamodule1->Base.connected());
        QVERIFY(screens.FRprincipal.get() && !screens.FRprincipal->isVisible());
    }

    void namedDatabaseIsTheOneOpened()
    {
        TempDatabase db;
        QTemporaryDir folder;
        writeDatabaseIni(folder.path(), db.path());
        Screens screens;
        screens.create(folder.path());
        screens.Datamodule1->Tipo.open();
        QCOMPARE(screens.Datamodule1->Base.databaseName(), db.path());
        QVERIFY(screens.Datamodule1->Base.connected());
    }

    void unreachableDatabaseLeavesTheProgramRunning()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("AINDA-NAO.FDB"));
        writeDatabaseIni(folder.path(), path);
        Screens screens;
        screens.create(folder.path());
        screens.showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(screens.FRprincipal.get()));

        bool restRan = false;
        QVERIFY(!guarded([&] {
            screens.Datamodule1->Recibos.open();
            restRan = true;
        }));
        QVERIFY(!restRan);
        QVERIFY2(errordisplay::lastError().contains(QStringLiteral("AINDA-NAO.FDB")), qPrintable(errordisplay::lastError()));
        QVERIFY(screens.FRprincipal->isVisible());

        databasecreator::create(path);
        QVERIFY(guarded([&] { screens.Datamodule1->Recibos.open(); }));
    }

    void errorsEscapingAHandlerAreShownAndTheLoopGoesOn()
    {
        ThrowingObject target;
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&target, &event), false);
        QCOMPARE(errordisplay::lastError(), QStringLiteral("falhou no meio"));
        bool later = false;
        QTimer::singleShot(0, [&] { later = true; });
        QTRY_VERIFY(later);
    }

    void endingTheProgramCommitsPendingDeletions()
    {
        TempDatabase db;
        QTemporaryDir folder;
        writeDatabaseIni(folder.path(), db.path());
        {
            Screens screens;
            screens.create(folder.path());
            screens.Datamodule1->Clientes.open();
            screens.Datamodule1->Clientes.insert();
            screens.Datamodule1->Clientes.post();
            screens.Datamodule1->Tra.commitRetaining();
            screens.Datamodule1->Clientes.remove();
        }
        Module check(db.path());
        check.dm.Clientes.open();
        QVERIFY(check.dm.Clientes.isEmpty());
    }

    void backupFromTheMenuEndsTheProgramOnceComplete()
    {
        TempDatabase db;
        QTemporaryDir folder;
        writeDatabaseIni(folder.path(), db.path());
        Screens screens;
        screens.create(folder.path());
        screens.showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(screens.FRprincipal.get()));
        addCliente(*screens.Datamodule1, QStringLiteral("MARIA"));

        // Each step runs inside the modal loop the previous click opened; a
        // timer does not fire again inside its own handler, so each step sets the next.
        QStringList seen;
        QObject driver; // its end cancels the steps still pending
        std::function<void()> step = [&] {
            QTimer::singleShot(20, &driver, step);
            QWidget *modal = QApplication::activeModalWidget();
            const QString name = modal ? modal->objectName() : QString();
            if (!seen.isEmpty() && seen.last() == name)
                return;
            seen << name;
            const char *target = name.isEmpty() ? "Image9" : name == QLatin1String("frmBackup") ? "Panel1" : "FlatButton1";
            if (QWidget *widget = (modal ? modal : screens.FRprincipal.get())->findChild<QWidget *>(QLatin1String(target)))
                QTest::mouseClick(widget, Qt::LeftButton);
        };
        QTimer::singleShot(0, &driver, step);
        QTimer::singleShot(120000, &driver, [] { QCoreApplication::exit(3); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(seen, (QStringList{QString(), QStringLiteral("frmBackup"), QStringLiteral("FRmensagem14")}));
        const QString file = DatabaseBackup::fileName(DatabaseBackup::defaultDestination(db.path()), QDate::currentDate());
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
    }

    void qtSpeaksPortuguese()
    {
        QTranslator translator;
        QVERIFY(installQtTranslations(*QCoreApplication::instance(), translator));
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
        QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salvar"));
    }

    void createToolRefusesAnExistingFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("QUINDELO.FDB"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("dados preciosos");
        }
        QProcess tool;
        tool.start(QStringLiteral(CREATEDB_PATH), {path});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("já existe")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("dados preciosos"));
    }
};

int main(int argc, char *argv[])
{
    QuindeloApplication app(argc, argv);
    TstStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
