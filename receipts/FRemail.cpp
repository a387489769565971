#include "FRemail.h"

#include "ReceiptEmail.h"

#include "data/Datamodule1.h"
#include "mail/MailError.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"
#include "widgets/Rotulo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

template <typename Control>
Control *controle(const char *name, const QRect &geometry, QWidget *parent)
{
    auto *control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

} // namespace

FRemailForm::FRemailForm(Collaborators collaborators, QWidget *parent)
    : FormBase(QStringLiteral("FRemail"), QStringLiteral("  Enviar Recibo por e-mail"), QStringLiteral("Image1"), parent),
      m_uses(std::move(collaborators))
{
    setWindowTitle(QStringLiteral("Enviar Recibo por e-mail"));
    setFocusHighlight(true);
    QWidget *area = body();
    area->setFixedSize(560, 400);

    Label1 = rotulo("Label1", QStringLiteral("Para"), 20, 12, area);
    EDpara = controle<QLineEdit>("EDpara", QRect(20, 30, 520, 24), area);
    Label2 = rotulo("Label2", QStringLiteral("Assunto"), 20, 62, area);
    EDassunto = controle<QLineEdit>("EDassunto", QRect(20, 80, 520, 24), area);
    Label3 = rotulo("Label3", QStringLiteral("Mensagem"), 20, 112, area);
    MEmensagem = controle<QPlainTextEdit>("MEmensagem", QRect(20, 130, 520, 170), area);
    MEmensagem->setTabChangesFocus(true);
    Label4 = rotulo("Label4", QStringLiteral("Vias"), 20, 310, area);
    CBvias = controle<QComboBox>("CBvias", QRect(20, 328, 250, 26), area);
    CBvias->addItems({QStringLiteral("1 recibo por folha"), QStringLiteral("2 recibos por folha")});
    Panel1 = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Enviar"), area);
    Panel1->setGeometry(390, 328, 150, 30);

    setTabOrder(EDpara, EDassunto);
    setTabOrder(EDassunto, MEmensagem);
    setTabOrder(MEmensagem, CBvias);
    connect(Panel1, &PictureButton::clicked, this, [this] { guarded([this] { Panel1Click(); }); });
}

void FRemailForm::FormShow()
{
    DataModule &dm = m_uses.dataModule;
    EDpara->setText(receiptemail::clientAddress(dm.Base, dm.Tra, m_recibo.otherPartyDocument, m_recibo.otherPartyName));
    EDassunto->setText(receiptemail::subject(m_recibo));
    MEmensagem->setPlainText(receiptemail::text(m_recibo));
    CBvias->setCurrentIndex(0);
    EDpara->setFocus();
}

void FRemailForm::Panel1Click()
{
    const QString para = EDpara->text();
    if (!mailheaders::isValidAddress(para)) {
        m_uses.aviso(enderecoInvalido(para));
        return;
    }
    std::optional<EmailSettings> settings;
    try {
        settings = emailsettings::load(m_uses.settingsFile);
    } catch (const MailError &error) {
        m_uses.aviso(error.reason());
        return;
    }
    if (!settings || !settings->isComplete()) {
        m_uses.aviso(QStringLiteral("O envio de e-mail ainda não foi configurado. Informe o servidor e o remetente "
                                    "em Configurações do Sistema, botão \"Configurar e-mail\"."));
        m_uses.FRconfemail();
        return;
    }
    const ReceiptSheet sheet = CBvias->currentIndex() == 1 ? ReceiptSheet::TwoPerSheet : ReceiptSheet::OnePerSheet;
    const MailMessage message =
        receiptemail::message(*settings, para, EDassunto->text(), MEmensagem->toPlainText(), sheet, m_recibo);
    if (const std::optional<QString> failure = enviaComProgresso(*settings, message, this)) {
        m_uses.aviso(falhaNoEnvio(*failure));
        return;
    }
    m_uses.aviso(QStringLiteral("Recibo enviado para %1.").arg(para));
    accept();
}
