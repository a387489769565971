#include "ScreenFixture.h"

#include "common/ModalAnswerer.h"
#include "common/PdfText.h"
#include "common/ScreenTesting.h"
#include "common/SmtpTestServer.h"

#include "data/Statement.h"
#include "dialogs/Mensagens.h"
#include "mail/EmailSettings.h"
#include "mail/SmtpSender.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRconfemail.h"
#include "receipts/FRemail.h"
#include "receipts/FRrecibo.h"
#include "reportengine/ReportFonts.h"
#include "widgets/ErrorDisplay.h"

#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString kPassword = QStringLiteral("s3nh@ =secreta");

void insertCliente(DataModule &dm, int id, const QString &name, const QString &cpf, const QString &cnpj,
                   const QString &email, const QString &email2)
{
    PreparedStatement(dm.Base, QStringLiteral("insert into CLIENTES (ID_CLIENTE, CLIENTE, CPF, CNPJ, EMAIL, EMAIL2) "
                                              "values (?, ?, ?, ?, ?, ?)"))
        .execute(dm.Tra, {id, name, cpf, cnpj, email, email2});
    dm.Tra.commitRetaining();
}

EmailSettings settingsFor(int port)
{
    EmailSettings settings;
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.security = EmailSettings::Security::None;
    settings.sender = QStringLiteral("recibos@oficina.example");
    settings.senderName = QStringLiteral("Oficina Azul");
    return settings;
}

} // namespace

class TstFRemail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareScreenTests();
        registerReportFonts();
        // The screens of the registry read and write the settings here, not in the user's home.
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    void init()
    {
        QFile::remove(settingsFile());
        m_avisos.clear();
        m_confemailShown = 0;
        m_fx = std::make_unique<ScreenFixture>();
        m_email = std::make_unique<FRemailForm>(FRemailForm::Collaborators{
            m_fx->dm(), settingsFile(), [this] { ++m_confemailShown; }, [this](const QString &text) { m_avisos << text; }});
    }
    void cleanup()
    {
        m_email.reset();
        m_fx.reset();
    }

    void proposesTheClientsAddress_data();
    void proposesTheClientsAddress();
    void twoClicksSendTheShownReceipt();
    void refusedBeforeConnecting_data();
    void refusedBeforeConnecting();
    void failedSendingKeepsTheForm();
    void cancelWhileTheServerIsSilent();
    void settingsScreenSavesPrivately();
    void testMessage_data();
    void testMessage();
    void registryOpensTheSettingsInBothStates_data();
    void registryOpensTheSettingsInBothStates();

private:
    QString settingsFile() const { return emailsettings::defaultPath(); }
    void showFor(const ReceiptValues &values)
    {
        m_email->setRecibo(values);
        m_email->show();
        if (!QTest::qWaitForWindowExposed(m_email.get()))
            qFatal("FRemail did not show");
    }
    static ReceiptValues receipt()
    {
        ReceiptValues values;
        values.number = QStringLiteral("7");
        values.amount = QStringLiteral("1.234,50");
        values.issuerName = QStringLiteral("OFICINA AZUL");
        values.otherPartyName = QStringLiteral("MARIA SOUZA");
        values.otherPartyDocument = QStringLiteral("123.456.789-01");
        return values;
    }

    QTemporaryDir m_config;
    std::unique_ptr<ScreenFixture> m_fx;
    std::unique_ptr<FRemailForm> m_email;
    QStringList m_avisos;
    int m_confemailShown = 0;
};

void TstFRemail::proposesTheClientsAddress_data()
{
    QTest::addColumn<QString>("cpf");
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("email2");
    QTest::addColumn<QString>("proposed");
    // The receipt is for MARIA SOUZA, 123.456.789-01.
    QTest::newRow("CPF punctuated otherwise") << "123456789-01" << "" << "OUTRO NOME" << "maria@x.example" << ""
                                              << "maria@x.example";
    QTest::newRow("in the CNPJ column") << "" << "123.456.789/01" << "OUTRO NOME" << "m@x.example" << ""
                                        << "m@x.example";
    QTest::newRow("second address when the first is empty") << "12345678901" << "" << "" << " " << "m2@x.example"
                                                            << "m2@x.example";
    QTest::newRow("by name when no document matches") << "999" << "" << "MARIA SOUZA" << "nome@x.example" << ""
                                                      << "nome@x.example";
    QTest::newRow("nobody") << "999" << "" << "MARIA" << "nome@x.example" << "" << "";
}

void TstFRemail::proposesTheClientsAddress()
{
    QFETCH(QString, cpf);
    QFETCH(QString, cnpj);
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, email2);
    insertCliente(m_fx->dm(), 1, QStringLiteral("ANTES"), QString(), QString(), QStringLiteral("antes@x.example"), QString());
    insertCliente(m_fx->dm(), 2, name, cpf, cnpj, email, email2);
    showFor(receipt());
    QTEST(m_email->EDpara->text(), "proposed");
    QCOMPARE(m_email->EDassunto->text(), QStringLiteral("Recibo nº 7 - OFICINA AZUL"));
    QVERIFY(m_email->MEmensagem->toPlainText().contains(QStringLiteral("recibo nº 7, no valor de R$ 1.234,50.")));
}

void TstFRemail::twoClicksSendTheShownReceipt()
{
    SmtpTestServer server({SmtpTestServer::Mode::Plain, {}, {}, {}});
    QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
    emailsettings::save(settingsFor(server.port()), settingsFile());
    DataModule &dm = m_fx->dm();
    insertCliente(dm, 1, QStringLiteral("JOANA"), QStringLiteral("111.222.333-44"), QString(),
                  QStringLiteral("joana@cliente.example"), QString());
    dm.Recibos.open();
    dm.Recibos.insert();
    dm.Recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("JOANA"));
    dm.Recibos.fieldByName(QStringLiteral("CPFCNPJEMITENTE")).setValue(QStringLiteral("11122233344"));
    dm.Recibos.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("OFICINA AZUL"));
    dm.Recibos.fieldByName(QStringLiteral("TIPO")).setValue(QStringLiteral("RECEBIMENTO"));
    dm.Recibos.fieldByName(QStringLiteral("VALOR")).setText(QStringLiteral("321,09"));
    dm.Recibos.post();
    dm.Tra.commitRetaining();
    const QString number = dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asString();

    FRreciboForm &editor = m_fx->recibo();
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    ModalAnswerer answerer;
    answerer.then([](QWidget *window) {
        QCOMPARE(window->objectName(), QStringLiteral("FRemail"));
        clickNamed(window, QStringLiteral("Panel1"));
    });
    clickNamed(&editor, QStringLiteral("Image4"));

    // The progress window may come and go unseen: a local server answers at once.
    QList<ModalAnswerer::Seen> seen = answerer.seen();
    seen.removeIf([](const ModalAnswerer::Seen &window) { return window.name == QLatin1String("FRenviando"); });
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0).name, QStringLiteral("FRemail"));
    QCOMPARE(seen.at(1).texts.first(), QStringLiteral("Recibo enviado para joana@cliente.example."));
    const QList<QJsonObject> received = server.messages();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().value("to").toString(), QStringLiteral("joana@cliente.example"));
    QCOMPARE(received.first().value("subject").toString(), QStringLiteral("Recibo nº %1 - OFICINA AZUL").arg(number));
    const QJsonObject pdf = received.first().value("attachments").toArray().first().toObject();
    QCOMPARE(pdf.value("filename").toString(), QStringLiteral("Recibo-%1.pdf").arg(number));
    const QVector<PdfPage> pages = readPdf(pdf.value("path").toString());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().count(number), 1);
    QCOMPARE(pages.first().count(QStringLiteral("321,09")), 1);
    QVERIFY(m_fx->screens().FRemail->isHidden());
}

void TstFRemail::refusedBeforeConnecting_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("settings"); // "good", "none", "unreadable"
    QTest::addColumn<QString>("aviso");
    QTest::addColumn<int>("settingsScreenShown");
    QTest::newRow("address without @") << "maria.example.com" << "good"
                                       << "Endereço de e-mail inválido: maria.example.com" << 0;
    QTest::newRow("address with a blank") << "maria @example.com" << "good"
                                          << "Endereço de e-mail inválido: maria @example.com" << 0;
    QTest::newRow("no settings yet") << "maria@example.com" << "none" << "botão \"Configurar e-mail\"" << 1;
    QTest::newRow("settings unreadable") << "maria@example.com" << "unreadable"
                                         << "Não foi possível ler as configurações de e-mail em" << 0;
}

void TstFRemail::refusedBeforeConnecting()
{
    QFETCH(QString, address);
    QFETCH(QString, settings);
    QFETCH(QString, aviso);
    SmtpTestServer server({SmtpTestServer::Mode::Plain, {}, {}, {}});
    QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
    if (settings == QLatin1String("good"))
        emailsettings::save(settingsFor(server.port()), settingsFile());
    if (settings == QLatin1String("unreadable"))
        QVERIFY(QDir().mkpath(settingsFile()));
    showFor(receipt());
    m_email->EDpara->setText(address);
    clickNamed(m_email.get(), QStringLiteral("Panel1"));
    QCOMPARE(m_avisos.size(), 1);
    QVERIFY2(m_avisos.first().contains(aviso), qPrintable(m_avisos.first()));
    QTEST(m_confemailShown, "settingsScreenShown");
    QCOMPARE(server.messages().size(), 0);
    QVERIFY(m_email->isVisible());
    if (settings == QLatin1String("unreadable"))
        QDir(settingsFile()).removeRecursively();
}

void TstFRemail::failedSendingKeepsTheForm()
{
    int closedPort = 0;
    {
        SmtpTestServer gone({SmtpTestServer::Mode::Plain, {}, {}, {}});
        QVERIFY2(gone.failure().isEmpty(), qPrintable(gone.failure()));
        closedPort = gone.port();
    }
    emailsettings::save(settingsFor(closedPort), settingsFile());
    showFor(receipt());
    m_email->EDpara->setText(QStringLiteral("maria@example.com"));
    m_email->EDassunto->setText(QStringLiteral("Assunto digitado"));
    m_email->CBvias->setCurrentIndex(1);
    clickNamed(m_email.get(), QStringLiteral("Panel1"));
    QCOMPARE(m_avisos, QStringList{QStringLiteral("Não foi possível enviar o e-mail: o servidor 127.0.0.1 não pôde "
                                                  "ser alcançado na porta %1.").arg(closedPort)});
    QVERIFY(m_email->isVisible());
    QCOMPARE(m_email->EDpara->text(), QStringLiteral("maria@example.com"));
    QCOMPARE(m_email->EDassunto->text(), QStringLiteral("Assunto digitado"));
    QCOMPARE(m_email->CBvias->currentIndex(), 1);
}

void TstFRemail::cancelWhileTheServerIsSilent()
{
    SmtpTestServer silent({SmtpTestServer::Mode::Silent, {}, {}, {}});
    QVERIFY2(silent.failure().isEmpty(), qPrintable(silent.failure()));
    emailsettings::save(settingsFor(silent.port()), settingsFile());
    showFor(receipt());
    m_email->EDpara->setText(QStringLiteral("maria@example.com"));
    ModalAnswerer answerer;
    answerer.thenClick(QStringLiteral("Cancelar"));
    clickNamed(m_email.get(), QStringLiteral("Panel1"));
    QCOMPARE(answerer.names().first(), QStringLiteral("FRenviando"));
    QCOMPARE(m_avisos, QStringList{QStringLiteral("Não foi possível enviar o e-mail: o envio foi cancelado.")});
    QVERIFY(m_email->isVisible());
}

void TstFRemail::settingsScreenSavesPrivately()
{
    saveIssuer(m_fx->dm(), QStringLiteral("OFICINA AZUL"), QString(), QString());
    FRconfemailForm &form = *m_fx->screens().FRconfemail;
    form.show();
    QCOMPARE(form.EDporta->text(), QStringLiteral("587"));
    QCOMPARE(form.CBseguranca->currentText(), QStringLiteral("STARTTLS"));
    QCOMPARE(form.EDnomeremetente->text(), QStringLiteral("OFICINA AZUL"));
    QCOMPARE(form.EDsenha->echoMode(), QLineEdit::Password);
    form.EDservidor->setText(QStringLiteral("smtp.example.com"));
    form.EDporta->setText(QStringLiteral("465"));
    form.CBseguranca->setCurrentText(QStringLiteral("SSL/TLS"));
    form.EDusuario->setText(QStringLiteral("ana"));
    form.EDsenha->setText(kPassword);
    form.EDremetente->setText(QStringLiteral("ana@example.com"));
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("Panel1"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem9")});
    QVERIFY(form.isHidden());

    struct stat info{};
    QCOMPARE(::stat(QFile::encodeName(settingsFile()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0600);
    const std::optional<EmailSettings> saved = emailsettings::load(settingsFile());
    QVERIFY(saved);
    QCOMPARE(saved->security, EmailSettings::Security::SslTls);
    QCOMPARE(saved->port, 465);
    QCOMPARE(saved->password, kPassword);

    form.show();
    QCOMPARE(form.EDservidor->text(), QStringLiteral("smtp.example.com"));
    QCOMPARE(form.EDsenha->text(), kPassword);
}

void TstFRemail::testMessage_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("aviso");
    QTest::newRow("right password") << kPassword << "E-mail de teste enviado para ana@example.com.";
    QTest::newRow("wrong password") << "errada"
                                    << "Não foi possível enviar o e-mail: o servidor recusou o usuário ou a senha";
}

void TstFRemail::testMessage()
{
    QFETCH(QString, password);
    QFETCH(QString, aviso);
    SmtpTestServer server({SmtpTestServer::Mode::StartTls, QStringLiteral("ana"), kPassword, {}});
    QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
    qputenv(SmtpSender::kTestAuthorityVariable, server.authorityFile().toLocal8Bit());
    FRconfemailForm form({m_fx->dm(), settingsFile(), *m_fx->screens().FRmensagem9,
                          [this](const QString &text) { m_avisos << text; }});
    form.show();
    form.EDservidor->setText(QStringLiteral("127.0.0.1"));
    form.EDporta->setText(QString::number(server.port()));
    form.EDusuario->setText(QStringLiteral("ana"));
    form.EDsenha->setText(password);
    form.EDremetente->setText(QStringLiteral("ana@example.com"));
    clickNamed(&form, QStringLiteral("Panel2"));
    qunsetenv(SmtpSender::kTestAuthorityVariable);

    QCOMPARE(m_avisos.size(), 1);
    QVERIFY2(m_avisos.first().startsWith(aviso), qPrintable(m_avisos.first()));
    QVERIFY(!m_avisos.first().contains(password));
    const QList<QJsonObject> received = server.messages();
    QCOMPARE(received.size(), password == kPassword ? 1 : 0);
    if (!received.isEmpty())
        QCOMPARE(received.first().value("to").toString(), QStringLiteral("ana@example.com"));
    // Trying is not saving.
    QVERIFY(!QFile::exists(settingsFile()));
}

void TstFRemail::registryOpensTheSettingsInBothStates_data()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("browse state") << false;
    QTest::newRow("edit state") << true;
}

void TstFRemail::registryOpensTheSettingsInBothStates()
{
    QFETCH(bool, editing);
    FRcademitenteForm &registry = m_fx->cademitente();
    registry.show();
    QVERIFY(QTest::qWaitForWindowExposed(&registry));
    if (editing)
        clickNamed(&registry, QStringLiteral("BTalterar"));
    ModalAnswerer answerer;
    answerer.then([](QWidget *window) { clickNamed(window, QStringLiteral("Image1")); });
    clickNamed(&registry, QStringLiteral("Panel1"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconfemail")});
}

QTEST_MAIN(TstFRemail)
#include "tst_fremail.moc"
