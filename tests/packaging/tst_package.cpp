#include "ProgramDriver.h"
#include "common/PdfText.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/Statement.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

void addReceipt(const QString &database)
{
    Module module(database);
    module.dm.Base.open();
    PreparedStatement(module.dm.Base,
                      QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, TIPO, LOCAL, DATARECIBO, "
                                     "REFERENTE) values (7, 'Maria Souza', 'Clínica Modelo', 150, 'RECEBIMENTO', "
                                     "'Campinas', '05 de março de 2026', 'Sessões de fisioterapia')"))
        .execute(module.dm.Tra, QVariantList{});
    module.dm.Tra.commit();
}

// A user's account: nothing but HOME, no QUINDELO_HOME.
QProcessEnvironment account(QProcessEnvironment environment, const QString &home)
{
    environment.remove(QStringLiteral("QUINDELO_HOME"));
    environment.insert(QStringLiteral("HOME"), home);
    return environment;
}

} // namespace

#define STEP(action) QVERIFY2(action, qPrintable(driver.lastError()))

// The unpacked package met as from the menu on a new account, then quindelo-export
// on the database the first start left; tests/packaging/verificar-pacote unpacks it.
class TstPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_root = qEnvironmentVariable("QUINDELO_TEST_PACKAGE_ROOT");
        if (m_root.isEmpty())
            QSKIP("No unpacked package (tests/packaging/verificar-pacote gives one)");
    }

    void firstStart_data()
    {
        QTest::addColumn<bool>("databaseBefore");
        QTest::newRow("empty home") << false;
        QTest::newRow("home with a database") << true;
    }

    void firstStart()
    {
        QFETCH(bool, databaseBefore);
        QTemporaryDir home;
        QTemporaryDir session;
        QVERIFY(home.isValid() && session.isValid());
        const QString database = QDir(home.path()).filePath(QStringLiteral("Quindelo/QUINDELO.FDB"));
        if (databaseBefore) {
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Quindelo")));
            databasecreator::create(database);
            addReceipt(database);
        }

        ProgramDriver driver;
        const QProcessEnvironment desktop = ProgramDriver::desktop(session.path(), QStringLiteral(DRIVER_PLUGIN_DIR));
        STEP(driver.start(m_root + QStringLiteral("/usr/bin/quindelo"), home.path(), account(desktop, home.path())));
        STEP(driver.waitForText(QStringLiteral("FRprincipal/Label2"), QStringLiteral("MANUAL")));
        STEP(driver.click(QStringLiteral("FRprincipal/Image1")));
        int exitCode = -1;
        STEP(driver.waitForExit(exitCode));
        QCOMPARE(exitCode, 0);
        QVERIFY(QFile::exists(database));
        if (!databaseBefore)
            addReceipt(database);

        // Without --banco: the same database the program found.
        const QString pdf = QDir(home.path()).filePath(QStringLiteral("recibo.pdf"));
        QProcess exporter;
        exporter.setProcessEnvironment(account(QProcessEnvironment::systemEnvironment(), home.path()));
        exporter.start(m_root + QStringLiteral("/usr/bin/quindelo-export"),
                       {QStringLiteral("recibo"), QStringLiteral("7"), QStringLiteral("-o"), pdf});
        QVERIFY(exporter.waitForFinished(60000));
        QVERIFY2(exporter.exitCode() == 0, exporter.readAllStandardError().constData());
        const QVector<PdfPage> pages = readPdf(pdf);
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages.first().text().contains(QStringLiteral("Maria Souza")), qPrintable(pages.first().text()));
    }

private:
    QString m_root;
};

QTEST_GUILESS_MAIN(TstPackage)
#include "tst_package.moc"
