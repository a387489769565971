#include "FRconfemail.h"

#include "data/Datamodule1.h"
#include "dialogs/MessageDialog.h"
#include "mail/MailError.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace {

QLineEdit *campo(const char *name, const char *labelName, const QString &caption, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    label->move(geometry.x(), geometry.y() - 18);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    return edit;
}


} // namespace

FRconfemailForm::FRconfemailForm(Collaborators collaborators, QWidget *parent)
    : FormBase(QStringLiteral("FRconfemail"), QStringLiteral("  Configuração de e-mail"), QStringLiteral("Image1"),
               parent),
      m_uses(std::move(collaborators))
{
    setWindowTitle(QStringLiteral("Configuração de e-mail"));
    setFocusHighlight(true);
    setEnterMovesFocus(true);
    QWidget *area = body();
    area->setFixedSize(520, 330);

    EDservidor = campo("EDservidor", "Label1", QStringLiteral("Servidor SMTP"), QRect(20, 30, 330, 24), area);
    EDporta = campo("EDporta", "Label2", QStringLiteral("Porta"), QRect(370, 30, 130, 24), area);
    EDporta->setValidator(new QIntValidator(1, 65535, EDporta));
    auto *rotulo = new QLabel(QStringLiteral("Segurança"), area);
    rotulo->setObjectName(QStringLiteral("Label3"));
    rotulo->move(20, 70);
    CBseguranca = new QComboBox(area);
    CBseguranca->setObjectName(QStringLiteral("CBseguranca"));
    for (const auto security : {EmailSettings::Security::StartTls, EmailSettings::Security::SslTls,
                                EmailSettings::Security::None})
        CBseguranca->addItem(emailsettings::securityName(security));
    CBseguranca->setGeometry(20, 88, 200, 26);
    EDusuario = campo("EDusuario", "Label4", QStringLiteral("Usuário"), QRect(20, 146, 235, 24), area);
    EDsenha = campo("EDsenha", "Label5", QStringLiteral("Senha"), QRect(265, 146, 235, 24), area);
    EDsenha->setEchoMode(QLineEdit::Password);
    EDremetente = campo("EDremetente", "Label6", QStringLiteral("E-mail do remetente"), QRect(20, 204, 235, 24), area);
    EDnomeremetente =
        campo("EDnomeremetente", "Label7", QStringLiteral("Nome do remetente"), QRect(265, 204, 235, 24), area);
    Panel1 = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Salvar"), area);
    Panel1->setGeometry(200, 270, 140, 30);
    Panel2 = PictureButton::textPanel(QStringLiteral("Panel2"), QStringLiteral("Enviar teste"), area);
    Panel2->setGeometry(360, 270, 140, 30);

    setTabOrder(EDservidor, EDporta);
    setTabOrder(EDporta, CBseguranca);
    setTabOrder(CBseguranca, EDusuario);
    setTabOrder(EDusuario, EDsenha);
    setTabOrder(EDsenha, EDremetente);
    setTabOrder(EDremetente, EDnomeremetente);
    connect(Panel1, &PictureButton::clicked, this, [this] { guarded([this] { Panel1Click(); }); });
    connect(Panel2, &PictureButton::clicked, this, [this] { guarded([this] { Panel2Click(); }); });
}

QString FRconfemailForm::nomeDoEmitente()
{
    Dataset &emitente = m_uses.dataModule.Emitente;
    emitente.open();
    return emitente.isEmpty() ? QString() : emitente.fieldByName(QStringLiteral("EMITENTE")).asString();
}

void FRconfemailForm::mostra(const EmailSettings &settings)
{
    EDservidor->setText(settings.server);
    EDporta->setText(QString::number(settings.port));
    CBseguranca->setCurrentText(emailsettings::securityName(settings.security));
    EDusuario->setText(settings.user);
    EDsenha->setText(settings.password);
    EDremetente->setText(settings.sender);
    EDnomeremetente->setText(settings.senderName.isEmpty() ? nomeDoEmitente() : settings.senderName);
}

void FRconfemailForm::FormShow()
{
    std::optional<EmailSettings> saved;
    try {
        saved = emailsettings::load(m_uses.settingsFile);
    } catch (const MailError &error) {
        m_uses.aviso(error.reason());
    }
    mostra(saved.value_or(EmailSettings{}));
    EDservidor->setFocus();
}

std::optional<EmailSettings> FRconfemailForm::digitadas()
{
    EmailSettings settings;
    settings.server = EDservidor->text().trimmed();
    bool portOk = false;
    settings.port = EDporta->text().toInt(&portOk);
    settings.security =
        emailsettings::securityFromName(CBseguranca->currentText()).value_or(EmailSettings::Security::StartTls);
    settings.user = EDusuario->text().trimmed();
    settings.password = EDsenha->text();
    settings.sender = EDremetente->text().trimmed();
    settings.senderName = EDnomeremetente->text().trimmed();
    if (settings.server.isEmpty()) {
        m_uses.aviso(QStringLiteral("Informe o servidor SMTP."));
        return std::nullopt;
    }
    if (!portOk || settings.port < 1 || settings.port > 65535) {
        m_uses.aviso(QStringLiteral("Porta inválida: %1").arg(EDporta->text()));
        return std::nullopt;
    }
    if (!mailheaders::isValidAddress(settings.sender)) {
        m_uses.aviso(enderecoInvalido(settings.sender));
        return std::nullopt;
    }
    return settings;
}

void FRconfemailForm::Panel1Click()
{
    const std::optional<EmailSettings> settings = digitadas();
    if (!settings)
        return;
    try {
        emailsettings::save(*settings, m_uses.settingsFile);
    } catch (const MailError &error) {
        m_uses.aviso(error.reason());
        return;
    }
    m_uses.FRmensagem9.showModal();
    accept();
}

void FRconfemailForm::Panel2Click()
{
    const std::optional<EmailSettings> settings = digitadas();
    if (!settings)
        return;
    MailMessage message;
    message.fromAddress = settings->sender;
    message.fromName = settings->senderName;
    message.to = settings->sender;
    message.subject = QStringLiteral("Quindelo: e-mail de teste");
    message.text = QStringLiteral("Esta mensagem de teste mostra que o Quindelo consegue enviar recibos por e-mail "
                                  "com estas configurações.");
    if (const std::optional<QString> failure = enviaComProgresso(*settings, message, this)) {
        m_uses.aviso(falhaNoEnvio(*failure));
        return;
    }
    m_uses.aviso(QStringLiteral("E-mail de teste enviado para %1.").arg(settings->sender));
}
