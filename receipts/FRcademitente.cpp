#include "FRcademitente.h"

#include "FormataDocumento.h"

#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "widgets/DBEdit.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"
#include "widgets/Rotulo.h"

#include <QLabel>

namespace {

DBEdit *campo(Dataset &emitente, const char *name, const QString &column, DBEdit::CharCase charCase, const QRect &geometry, QWidget *parent)
{
    auto *edit = new DBEdit(QLatin1String(name), parent);
    edit->setDataField(&emitente, column);
    edit->setCharCase(charCase);
    edit->setGeometry(geometry);
    return edit;
}

} // namespace

FRcademitenteForm::FRcademitenteForm(Collaborators collaborators, QWidget *parent)
    : RecordEditor(QStringLiteral("FRcademitente"), QStringLiteral("  Configurações do Sistema"), Toolbar::EditOnly,
                   QStringLiteral("Image1"), parent),
      m_uses(std::move(collaborators)),
      m_emitente(m_uses.dataModule.Emitente)
{
    setWindowTitle(QStringLiteral("Cadastro de Emitente"));
    QWidget *area = body();
    area->setFixedSize(560, 400);

    Label2 = rotulo("Label2", QStringLiteral("Nome ou Razão Social"), 20, 12, area);
    DBEdit2 = campo(m_emitente, "DBEdit2", QStringLiteral("EMITENTE"), DBEdit::CharCase::Upper, QRect(20, 30, 520, 24), area);
    Label14 = rotulo("Label14", QStringLiteral("CPF/CNPJ"), 20, 62, area);
    DBEdit3 = campo(m_emitente, "DBEdit3", QStringLiteral("CPFCNPJ"), DBEdit::CharCase::Lower, QRect(20, 80, 250, 24), area);
    Label3 = rotulo("Label3", QStringLiteral("Cidade (Impressão)"), 290, 62, area);
    DBEdit4 = campo(m_emitente, "DBEdit4", QStringLiteral("CIDADE"), DBEdit::CharCase::Normal, QRect(290, 80, 250, 24), area);

    Label8 = rotulo("Label8", QStringLiteral("Logomarca do Recibo (Opcional)"), 20, 116, area);
    DBImage1 = new DBImage(QStringLiteral("DBImage1"), area);
    DBImage1->setDataField(&m_emitente, QStringLiteral("FOTO_MARC"));
    DBImage1->setGeometry(20, 134, 300, 170);
    DBImage1->setCursor(Qt::PointingHandCursor);
    Label1 = rotulo("Label1", QStringLiteral("Clique no botão ALTERAR - duplo clique"), 20, 312, area);
    Label4 = rotulo("Label4", QStringLiteral("no quadro acima para alterar a logomarca"), 20, 330, area);
    // Not in the restaura list: the e-mail settings are not the issuer row's.
    Panel1 = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Configurar e-mail"), area);
    Panel1->setGeometry(340, 134, 200, 30);

    Label2->setBuddy(DBEdit2);
    Label14->setBuddy(DBEdit3);
    Label3->setBuddy(DBEdit4);
    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBEdit4);
    setTabOrder(DBEdit4, DBImage1);
    setRestauraList({DBEdit2, DBEdit3, DBEdit4, DBImage1});

    connect(BTalterar, &PictureButton::clicked, this, [this] { guarded([this] { BTalterarClick(); }); });
    connect(BTsalvar, &PictureButton::clicked, this, [this] { guarded([this] { BTsalvarClick(); }); });
    connect(BTcancelar, &PictureButton::clicked, this, [this] { guarded([this] { BTcancelarClick(); }); });
    connect(DBEdit3, &DBEdit::exited, this, [this] { guarded([this] { DBEdit3Exit(); }); });
    connect(DBImage1, &DBImage::doubleClicked, this, [this] { guarded([this] { DBImage1DblClick(); }); });
    connect(Panel1, &PictureButton::clicked, this, [this] { guarded([this] { Panel1Click(); }); });
}

void FRcademitenteForm::FormShow()
{
    BTsalvar->hide();
    BTcancelar->hide();
    BTalterar->show();
    for (QWidget *control : {static_cast<QWidget *>(DBEdit2), static_cast<QWidget *>(DBEdit3),
                             static_cast<QWidget *>(DBEdit4), static_cast<QWidget *>(DBImage1)})
        control->setEnabled(false);
    // Not re-queried: a pending edit left by closing in the edit state survives.
    m_emitente.open();
}

void FRcademitenteForm::BTalterarClick()
{
    m_emitente.edit();
    rememberPendingRow(m_emitente);
    restaura();
    DBEdit2->setFocus();
}

void FRcademitenteForm::BTsalvarClick()
{
    // The toolbar takes no focus: a number still being typed is formatted as
    // if its field had been left, so it is never stored unpunctuated.
    if (DBEdit3->hasFocus()) {
        DBEdit::updateRecords(this);
        DBEdit3Exit();
    }
    postAndCommit(m_emitente, m_uses.dataModule.Tra);
    m_uses.FRmensagem9.showModal();
    restaura();
}

void FRcademitenteForm::BTcancelarClick()
{
    m_emitente.cancel();
    restaura();
}

void FRcademitenteForm::DBEdit3Exit()
{
    // Disabled while focused (Save, Cancel): the user did not leave it.
    if (!DBEdit3->isEnabled())
        return;
    Field *field = DBEdit3->field();
    const QString formatado = FormataDocumento(DBEdit3->text());
    if (field && formatado != DBEdit3->text() && m_emitente.state() != Dataset::State::Browse)
        field->setText(formatado);
}

void FRcademitenteForm::DBImage1DblClick()
{
    // What was typed so far is stored with the logo, which FRimagem posts at once.
    DBEdit::updateRecords(this);
    m_uses.FRimagem();
    // The logo's post ended the edit; the fields stay open for typing until Save or Cancel.
    if (!BTsalvar->isHidden() && m_emitente.active() && m_emitente.state() == Dataset::State::Browse) {
        m_emitente.edit();
        rememberPendingRow(m_emitente);
    }
}

void FRcademitenteForm::Image1Click()
{
    if (!hasUnsavedChanges(m_emitente)) {
        reject();
        return;
    }
    // The next Show shows the stored values again.
    confirmDiscard(m_uses.FRmensagem17(), [this] {
        m_emitente.cancel();
        reject();
    });
}

void FRcademitenteForm::Panel1Click()
{
    m_uses.FRconfemail();
}
