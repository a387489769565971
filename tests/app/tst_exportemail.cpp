#include "common/PdfText.h"
#include "common/SmtpTestServer.h"
#include "common/TempDatabase.h"

#include "data/Statement.h"
#include "mail/EmailSettings.h"
#include "mail/SmtpSender.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// quindelo-export recibo ID --email, run as a user runs it, against a real SMTP server.
class TstExportEmail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sends_data();
    void sends();

private:
    QTemporaryDir m_locks;
    std::unique_ptr<TempDatabase> m_database;
};

namespace {

const QString kPassword = QStringLiteral("s3nh@ =secreta");

} // namespace

void TstExportEmail::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    qputenv("FIREBIRD_LOCK", m_locks.path().toLocal8Bit());
    m_database = std::make_unique<TempDatabase>();
    // Closed before the command runs: one process per database file.
    Module module(m_database->path());
    DataModule &dm = module.dm;
    dm.Base.open();
    PreparedStatement(dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, TIPO) values "
                                              "(7, 'Maria Souza', 'Oficina Modelo', 1234.50, 'RECEBIMENTO')"))
        .execute(dm.Tra);
    dm.Tra.commitRetaining();
}

void TstExportEmail::sends_data()
{
    QTest::addColumn<QString>("settings"); // "good", "wrong password", "none"
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // what the command prints
    QTest::addColumn<bool>("arrives");
    const QString to = QStringLiteral("maria@cliente.example");
    QTest::newRow("sent") << "good" << QStringList{"recibo", "7", "--email", to} << 0
                          << "Recibo enviado para maria@cliente.example." << true;
    QTest::newRow("wrong password") << "wrong password" << QStringList{"recibo", "7", "--email", to} << 1
                                    << "Não foi possível enviar o e-mail: o servidor recusou o usuário ou a senha" << false;
    QTest::newRow("no settings") << "none" << QStringList{"recibo", "7", "--email", to} << 1
                                 << "O envio de e-mail ainda não foi configurado" << false;
}

void TstExportEmail::sends()
{
    QFETCH(QString, settings);
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    SmtpTestServer server({SmtpTestServer::Mode::StartTls, QStringLiteral("ana"), kPassword, {}});
    QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
    QTemporaryDir config;
    if (settings != QLatin1String("none")) {
        EmailSettings written;
        written.server = QStringLiteral("127.0.0.1");
        written.port = server.port();
        written.user = QStringLiteral("ana");
        written.password = settings == QLatin1String("wrong password") ? QStringLiteral("errada") : kPassword;
        written.sender = QStringLiteral("recibos@oficina.example");
        emailsettings::save(written, QDir(config.path()).filePath(QStringLiteral("quindelo/email.conf")));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QString::fromLatin1(SmtpSender::kTestAuthorityVariable), server.authorityFile());

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(EXPORT_PATH), arguments << QStringLiteral("--banco") << m_database->path());
    QVERIFY(process.waitForFinished(60000));
    const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QTEST(process.exitCode(), "exitCode");
    QVERIFY2(output.contains(said), qPrintable(output));
    QVERIFY(!output.contains(kPassword) && !output.contains(QStringLiteral("errada")));

    const QList<QJsonObject> received = server.messages();
    QTEST(!received.isEmpty(), "arrives");
    if (received.isEmpty())
        return;
    QCOMPARE(received.first().value("to").toString(), QStringLiteral("maria@cliente.example"));
    QCOMPARE(received.first().value("subject").toString(), QStringLiteral("Recibo nº 7 - Oficina Modelo"));
    const QJsonObject pdf = received.first().value("attachments").toArray().first().toObject();
    const QVector<PdfPage> pages = readPdf(pdf.value("path").toString());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().count(QStringLiteral("1.234,50")), 1);
}

QTEST_MAIN(TstExportEmail)
#include "tst_exportemail.moc"
