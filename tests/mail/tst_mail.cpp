#include "common/PdfText.h"
#include "common/SampleReceipt.h"
#include "common/SmtpTestServer.h"

#include "mail/EmailSettings.h"
#include "mail/MailError.h"
#include "mail/SmtpSender.h"
#include "receipts/ReceiptEmail.h"
#include "reportengine/ReportFonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(SmtpTestServer::Mode)
Q_DECLARE_METATYPE(EmailSettings::Security)
Q_DECLARE_METATYPE(ReceiptSheet)

namespace {

const QString kPassword = QStringLiteral("s3nh@ =secreta");

EmailSettings settingsFor(const SmtpTestServer &server, EmailSettings::Security security, const QString &user,
                          const QString &password)
{
    EmailSettings settings;
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = server.port();
    settings.security = security;
    settings.user = user;
    settings.password = password;
    settings.sender = QStringLiteral("recibos@oficina.example");
    settings.senderName = QStringLiteral("Oficina São João");
    return settings;
}

// The server's certificate authority, for the servers that have one.
void trust(const SmtpTestServer &server)
{
    if (QFile::exists(server.authorityFile()))
        qputenv(SmtpSender::kTestAuthorityVariable, server.authorityFile().toLocal8Bit());
}

int modeOf(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// What the sender gave as the reason, or the empty text when it sent.
QString reasonOfSending(const EmailSettings &settings, const MailMessage &message, int timeout = 10,
                        const std::atomic_bool *cancel = nullptr)
{
    SmtpSender sender(settings);
    sender.setTimeoutSeconds(timeout);
    try {
        sender.send(message, cancel);
    } catch (const MailError &error) {
        return error.reason();
    }
    return {};
}

MailMessage shortMessage(const QString &to)
{
    MailMessage message;
    message.fromAddress = QStringLiteral("recibos@oficina.example");
    message.to = to;
    message.subject = QStringLiteral("Teste");
    message.text = QStringLiteral("Olá");
    return message;
}

} // namespace

class TstMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        registerReportFonts();
    }
    void cleanup() { qunsetenv(SmtpSender::kTestAuthorityVariable); }

    void addresses_data();
    void addresses();
    void receiptArrives_data();
    void receiptArrives();
    void failuresGiveThePortugueseReason_data();
    void failuresGiveThePortugueseReason();
    void settingsFileIsPrivate_data();
    void settingsFileIsPrivate();
    void unusableSettingsFile_data();
    void unusableSettingsFile();
};

void TstMail::addresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "maria.souza@example.com.br" << true;
    QTest::newRow("no @") << "maria.example.com" << false;
    QTest::newRow("blank inside") << "maria souza@example.com" << false;
    QTest::newRow("nothing after @") << "maria@" << false;
    QTest::newRow("header break") << "maria@example.com>\r\nBcc: x@y" << false;
}

void TstMail::addresses()
{
    QFETCH(QString, address);
    QTEST(mailheaders::isValidAddress(address), "valid");
}

void TstMail::receiptArrives_data()
{
    QTest::addColumn<SmtpTestServer::Mode>("mode");
    QTest::addColumn<EmailSettings::Security>("security");
    QTest::addColumn<QString>("user");
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::addColumn<int>("amountsOnPage");
    QTest::newRow("no security, no login") << SmtpTestServer::Mode::Plain << EmailSettings::Security::None << QString()
                                           << ReceiptSheet::OnePerSheet << 1;
    QTest::newRow("STARTTLS with login") << SmtpTestServer::Mode::StartTls << EmailSettings::Security::StartTls
                                         << "ana" << ReceiptSheet::OnePerSheet << 1;
    QTest::newRow("SSL/TLS with login, two per sheet")
        << SmtpTestServer::Mode::Ssl << EmailSettings::Security::SslTls << "ana" << ReceiptSheet::TwoPerSheet << 2;
}

void TstMail::receiptArrives()
{
    QFETCH(SmtpTestServer::Mode, mode);
    QFETCH(EmailSettings::Security, security);
    QFETCH(QString, user);
    QFETCH(ReceiptSheet, sheet);
    SmtpTestServer server({mode, user, kPassword, {}});
    QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
    trust(server);

    ReceiptValues receipt = sampleReceipt();
    // Long enough and accented enough to need several encoded words.
    receipt.issuerName = QStringLiteral("OFICINA DE CONSERTOS SÃO JOÃO DA BARRA LTDA");
    const EmailSettings settings = settingsFor(server, security, user, kPassword);
    const QString to = QStringLiteral("maria@cliente.example");
    const QString text = receiptemail::text(receipt);
    const MailMessage message =
        receiptemail::message(settings, to, receiptemail::subject(receipt), text, sheet, receipt);
    QCOMPARE(reasonOfSending(settings, message), QString());

    const QList<QJsonObject> received = server.messages();
    QCOMPARE(received.size(), 1);
    const QJsonObject mail = received.first();
    QCOMPARE(mail.value("mail_from").toString(), settings.sender);
    QCOMPARE(mail.value("rcpt_tos").toArray().toVariantList(), QVariantList{to});
    QCOMPARE(mail.value("from").toString(), QStringLiteral("Oficina São João <recibos@oficina.example>"));
    QCOMPARE(mail.value("to").toString(), to);
    QCOMPARE(mail.value("subject").toString(), QStringLiteral("Recibo nº 7 - OFICINA DE CONSERTOS SÃO JOÃO DA BARRA LTDA"));
    QCOMPARE(mail.value("text").toString().replace("\r\n", "\n").trimmed(), text);
    QCOMPARE(mail.value("text_charset").toString(), QStringLiteral("utf-8"));
    QVERIFY(mail.value("date_valid").toBool());
    QVERIFY(mail.value("message_id").toString().endsWith("@oficina.example>"));
    QVERIFY(mail.value("headers_ascii").toBool());
    QCOMPARE(mail.value("tls").toBool(), mode != SmtpTestServer::Mode::Plain);
    QCOMPARE(mail.value("login").toString(), user);

    const QJsonArray attachments = mail.value("attachments").toArray();
    QCOMPARE(attachments.size(), 1);
    const QJsonObject pdf = attachments.first().toObject();
    QCOMPARE(pdf.value("filename").toString(), QStringLiteral("Recibo-7.pdf"));
    QCOMPARE(pdf.value("type").toString(), QStringLiteral("application/pdf"));
    const QVector<PdfPage> pages = readPdf(pdf.value("path").toString());
    QCOMPARE(pages.size(), 1);
    QTEST(pages.first().count(QStringLiteral("1.234,50")), "amountsOnPage");
    QTEST(pages.first().count(QStringLiteral("7")), "amountsOnPage");
}

void TstMail::failuresGiveThePortugueseReason_data()
{
    QTest::addColumn<SmtpTestServer::Mode>("mode");
    QTest::addColumn<EmailSettings::Security>("security");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("trustTheServer");
    QTest::addColumn<bool>("serverStopped");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("reason");
    const auto starttls = SmtpTestServer::Mode::StartTls;
    const auto plain = SmtpTestServer::Mode::Plain;
    const auto useStarttls = EmailSettings::Security::StartTls;
    const auto useNothing = EmailSettings::Security::None;
    const QString to = QStringLiteral("maria@cliente.example");
    QTest::newRow("wrong password") << starttls << useStarttls << "errada" << true << false << to
                                    << "o servidor recusou o usuário ou a senha (resposta do servidor: 535";
    QTest::newRow("closed port") << plain << useNothing << kPassword << true << true << to
                                 << "o servidor 127.0.0.1 não pôde ser alcançado na porta";
    QTest::newRow("refused recipient") << plain << useNothing << kPassword << true << false
                                       << "ninguem@cliente.example"
                                       << "o servidor recusou o endereço ninguem@cliente.example (resposta do servidor: 550";
    QTest::newRow("certificate of an unknown authority")
        << starttls << useStarttls << kPassword << false << false << to << "a conexão segura falhou: o certificado";
    QTest::newRow("silent server") << SmtpTestServer::Mode::Silent << useNothing << kPassword << true << false << to
                                   << "o servidor 127.0.0.1 não respondeu";
}

void TstMail::failuresGiveThePortugueseReason()
{
    QFETCH(SmtpTestServer::Mode, mode);
    QFETCH(EmailSettings::Security, security);
    QFETCH(QString, password);
    QFETCH(bool, trustTheServer);
    QFETCH(bool, serverStopped);
    QFETCH(QString, to);
    QFETCH(QString, reason);
    // Only the STARTTLS server asks for a login.
    const QString user = mode == SmtpTestServer::Mode::StartTls ? QStringLiteral("ana") : QString();
    auto server = std::make_unique<SmtpTestServer>(
        SmtpTestServer::Options{mode, user, kPassword, {QStringLiteral("ninguem@cliente.example")}});
    QVERIFY2(server->failure().isEmpty(), qPrintable(server->failure()));
    if (trustTheServer)
        trust(*server);
    const EmailSettings settings = settingsFor(*server, security, user, password);
    if (serverStopped)
        server.reset();

    const QString given = reasonOfSending(settings, shortMessage(to), 1);
    QVERIFY2(given.startsWith(reason), qPrintable(given));
    QVERIFY(!given.contains(password));
    if (server)
        QCOMPARE(server->messages().size(), 0);
}

void TstMail::settingsFileIsPrivate_data()
{
    QTest::addColumn<bool>("existedOpen");
    QTest::newRow("new file in a new folder") << false;
    QTest::newRow("file readable by all before") << true;
}

void TstMail::settingsFileIsPrivate()
{
    QFETCH(bool, existedOpen);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quindelo/email.conf"));
    if (existedOpen) {
        QDir(folder.path()).mkpath(QStringLiteral("quindelo"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("servidor=antigo\n");
        old.close();
        ::chmod(QFile::encodeName(path).constData(), 0644);
    }
    EmailSettings settings;
    settings.server = QStringLiteral("smtp.example.com");
    settings.security = EmailSettings::Security::SslTls;
    settings.password = QStringLiteral(" a=b # ç ");
    settings.senderName = QStringLiteral("Oficina São João");
    emailsettings::save(settings, path);
    QCOMPARE(modeOf(path), 0600);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{"email.conf"});
    const std::optional<EmailSettings> loaded = emailsettings::load(path);
    QVERIFY(loaded);
    QCOMPARE(loaded->server, settings.server);
    QCOMPARE(loaded->security, settings.security);
    QCOMPARE(loaded->password, settings.password);
    QCOMPARE(loaded->senderName, settings.senderName);
}

void TstMail::unusableSettingsFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: a folder stands where the file should
    QTest::addColumn<QString>("why");
    QTest::newRow("a folder") << QByteArray() << "não é um arquivo";
    QTest::newRow("a line that is no setting") << QByteArray("servidor=x\nlixo\n") << "a linha 2 não é uma configuração";
}

void TstMail::unusableSettingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("email.conf"));
    if (content.isEmpty()) {
        QDir(folder.path()).mkdir(QStringLiteral("email.conf"));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    try {
        emailsettings::load(path);
        QFAIL("read an unusable settings file");
    } catch (const MailError &error) {
        QCOMPARE(error.reason(),
                 QStringLiteral("Não foi possível ler as configurações de e-mail em %1: %2.").arg(path, why));
    }
}

QTEST_MAIN(TstMail)
#include "tst_mail.moc"
