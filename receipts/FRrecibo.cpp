#include "FRrecibo.h"

#include "CompletaNome.h"
#include "DataExtenso.h"
#include "Extens.h"
#include "FormataDocumento.h"
#include "ReceiptPreview.h"
#include "ReciboDerivados.h"

#include "data/Datamodule1.h"
#include "data/Win1252.h"
#include "dialogs/Mensagens.h"
#include "widgets/DBEdit.h"
#include "widgets/DBImage.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"
#include "widgets/Rotulo.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>

namespace {

const QStringList kRecibosMaisNovosPrimeiro = {QStringLiteral("SELECT * FROM RECIBOS"),
                                                QStringLiteral("ORDER BY ID_RECIBO DESC")};

// Calls a handler on every key released in one control.
class KeyUpWatcher : public QObject
{
public:
    KeyUpWatcher(QWidget *control, std::function<void()> handler)
        : QObject(control), m_handler(std::move(handler))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyRelease)
            m_handler();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_handler;
};

DBEdit *campo(Dataset &recibos, const char *name, const QString &column, const QRect &geometry, QWidget *parent,
              DBEdit::CharCase charCase = DBEdit::CharCase::Normal)
{
    auto *edit = new DBEdit(QLatin1String(name), parent);
    edit->setDataField(&recibos, column);
    edit->setCharCase(charCase);
    edit->setGeometry(geometry);
    return edit;
}

DBEdit *oculto(Dataset &recibos, const char *name, const QString &column, QWidget *parent)
{
    DBEdit *edit = campo(recibos, name, column, QRect(), parent);
    edit->hide();
    return edit;
}

QFrame *moldura(const char *name, const QRect &geometry, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setGeometry(geometry);
    return frame;
}

} // namespace

FRreciboForm::FRreciboForm(Collaborators collaborators, QWidget *parent)
    : RecordEditor(QStringLiteral("FRrecibo"), QStringLiteral("  Emitir Recibos"), Toolbar::Full, QStringLiteral("BTsair"),
                   parent),
      Query1(collaborators.dataModule.Base, collaborators.dataModule.Tra, QStringLiteral("Query1")),
      frxReport(receiptLayout(ReceiptSheet::OnePerSheet)),
      frxReport1(receiptLayout(ReceiptSheet::TwoPerSheet)),
      m_uses(std::move(collaborators)),
      m_dm(m_uses.dataModule),
      m_today(&QDate::currentDate)
{
    setWindowTitle(QStringLiteral("Emissão de Recibo"));
    Dataset &recibos = m_dm.Recibos;
    QWidget *area = body();
    area->setFixedSize(760, 400);

    Label9 = rotulo("Label9", QStringLiteral("Recibo de "), 20, 12, area);
    DBtipo = new DBLookupComboBox(QStringLiteral("DBtipo"), area);
    DBtipo->setDataField(&recibos, QStringLiteral("TIPO"));
    DBtipo->setListSource(&m_dm.Tipo, QStringLiteral("TIPO"), QStringLiteral("TIPO"));
    DBtipo->setMaxVisibleItems(8);
    DBtipo->setGeometry(20, 30, 200, 26);
    Label3 = rotulo("Label3", QStringLiteral("nº"), 240, 12, area);
    DBEdit1 = campo(recibos, "DBEdit1", QStringLiteral("ID_RECIBO"), QRect(240, 30, 90, 26), area);

    Lrecebi = rotulo("Lrecebi", QStringLiteral("Paguei à"), 20, 66, area);
    DBemitente = campo(recibos, "DBemitente", QStringLiteral("EMITENTE"), QRect(20, 84, 480, 26), area, DBEdit::CharCase::Upper);
    Panel1 = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Selecionar do Cadastro"), area);
    Panel1->setGeometry(510, 84, 170, 26);

    Lcpfcnpj = rotulo("Lcpfcnpj", QStringLiteral("CPF/CNPJ"), 20, 121, area);
    DBcpfcnpjemitente = campo(recibos, "DBcpfcnpjemitente", QStringLiteral("CPFCNPJEMITENTE"), QRect(90, 116, 200, 26), area);

    Lreferente = rotulo("Lreferente", QStringLiteral("Referente à"), 20, 148, area);
    DBreferente = campo(recibos, "DBreferente", QStringLiteral("REFERENTE"), QRect(20, 164, 660, 26), area);
    DBreferente2 = campo(recibos, "DBreferente2", QStringLiteral("OBS"), QRect(20, 192, 660, 26), area);

    Lemissao = rotulo("Lemissao", QStringLiteral("Data do Recebimento"), 20, 222, area);
    DBdata = campo(recibos, "DBdata", QStringLiteral("DATA"), QRect(20, 238, 120, 26), area);
    Lvalor = rotulo("Lvalor", QStringLiteral("Valor"), 160, 222, area);
    DBvalor = campo(recibos, "DBvalor", QStringLiteral("VALOR"), QRect(160, 238, 150, 26), area);
    DBvalor->setAlignment(Qt::AlignRight);

    DBvalorextenso = oculto(recibos, "DBvalorextenso", QStringLiteral("VALOREXTENSO"), area);
    DBvalorextenso->setReadOnly(true);
    DBdatarecibo = oculto(recibos, "DBdatarecibo", QStringLiteral("DATARECIBO"), area);
    DBlocal = oculto(recibos, "DBlocal", QStringLiteral("LOCAL"), area);
    DBcliente = oculto(recibos, "DBcliente", QStringLiteral("CLIENTE"), area);
    DBcliente->setCharCase(DBEdit::CharCase::Upper);
    DBcpfcnpjcliente = oculto(recibos, "DBcpfcnpjcliente", QStringLiteral("CPFCNPJCLIENTE"), area);
    DBImage1 = new DBImage(QStringLiteral("DBImage1"), area);
    DBImage1->setDataField(&m_dm.Emitente, QStringLiteral("FOTO_MARC"));
    DBImage1->hide();

    const QString impressora = QStringLiteral(":/receipts/icons/imprimir.png");
    Shape1 = moldura("Shape1", QRect(20, 268, 160, 110), area);
    Image2 = new PictureButton(QStringLiteral("Image2"), impressora, QStringLiteral("Cadastro"), area);
    Image2->move(36, 276);
    Label4 = rotulo("Label4", QStringLiteral("IMPRIMIR"), 106, 290, area);
    Label5 = rotulo("Label5", QStringLiteral("1 recibo folha"), 36, 350, area);
    Shape2 = moldura("Shape2", QRect(200, 268, 160, 110), area);
    Image3 = new PictureButton(QStringLiteral("Image3"), impressora, QStringLiteral("Cadastro"), area);
    Image3->move(216, 276);
    Label6 = rotulo("Label6", QStringLiteral("IMPRIMIR"), 286, 290, area);
    Label8 = rotulo("Label8", QStringLiteral("2 recibos folha"), 216, 350, area);
    Shape3 = moldura("Shape3", QRect(380, 268, 160, 110), area);
    Image4 = new PictureButton(QStringLiteral("Image4"), QStringLiteral(":/receipts/icons/email.png"),
                               QStringLiteral("Enviar por e-mail"), area);
    Image4->move(396, 276);
    Label10 = rotulo("Label10", QStringLiteral("ENVIAR"), 466, 290, area);
    Label11 = rotulo("Label11", QStringLiteral("por e-mail"), 396, 350, area);
    Shape4 = moldura("Shape4", QRect(560, 268, 160, 110), area);
    Image5 = new PictureButton(QStringLiteral("Image5"), QStringLiteral(":/receipts/icons/duplicar.png"),
                               QStringLiteral("Duplicar recibo"), area);
    Image5->move(576, 276);
    Label12 = rotulo("Label12", QStringLiteral("DUPLICAR"), 646, 290, area);
    Label13 = rotulo("Label13", QStringLiteral("recibo"), 576, 350, area);

    // Errors name a field by the caption the user sees.
    Label9->setBuddy(DBtipo);
    Lrecebi->setBuddy(DBemitente);
    Lreferente->setBuddy(DBreferente);
    shareLabel(QStringLiteral("OBS"), Lreferente);
    Lemissao->setBuddy(DBdata);
    Lvalor->setBuddy(DBvalor);

    // DBEdit1 shows the generated number only.
    DBEdit1->setEnabled(false);
    DBEdit1->setFocusPolicy(Qt::NoFocus);
    setTabOrder(DBtipo, DBemitente);
    setTabOrder(DBemitente, DBcpfcnpjemitente);
    setTabOrder(DBcpfcnpjemitente, DBreferente);
    setTabOrder(DBreferente, DBreferente2);
    setTabOrder(DBreferente2, DBdata);
    setTabOrder(DBdata, DBvalor);

    setRestauraList({DBdata, DBvalor, DBcpfcnpjemitente, DBreferente, DBreferente2, DBemitente, DBtipo});
    setRestauraVisibleList(printTiles());

    const auto on = [this](auto *sender, auto signal, void (FRreciboForm::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(BTnovo, &PictureButton::clicked, &FRreciboForm::BTnovoClick);
    on(BTalterar, &PictureButton::clicked, &FRreciboForm::BTalterarClick);
    on(BTsalvar, &PictureButton::clicked, &FRreciboForm::BTsalvarClick);
    on(BTcancelar, &PictureButton::clicked, &FRreciboForm::BTcancelarClick);
    on(BTexcluir, &PictureButton::clicked, &FRreciboForm::BTexcluirClick);
    on(BTconsultar, &PictureButton::clicked, &FRreciboForm::BTconsultarClick);
    on(Panel1, &PictureButton::clicked, &FRreciboForm::Panel1Click);
    on(Image2, &PictureButton::clicked, &FRreciboForm::Image2Click);
    on(Image3, &PictureButton::clicked, &FRreciboForm::Image3Click);
    on(Image4, &PictureButton::clicked, &FRreciboForm::Image4Click);
    on(Image5, &PictureButton::clicked, &FRreciboForm::Image5Click);
    on(DBtipo, &DBLookupComboBox::exited, &FRreciboForm::DBtipoExit);
    on(DBvalor, &DBEdit::exited, &FRreciboForm::DBvalorExit);
    on(DBdata, &DBEdit::exited, &FRreciboForm::DBdataExit);
    on(DBcpfcnpjemitente, &DBEdit::exited, &FRreciboForm::DBcpfcnpjemitenteExit);
    new KeyUpWatcher(DBemitente, [this] { guarded([this] { DBemitenteKeyUp(); }); });
}

QList<QWidget *> FRreciboForm::printTiles() const
{
    return {Image2, Image3, Shape1, Shape2, Label4, Label5, Label6, Label8,
            Image4, Shape3, Label10, Label11, Image5, Shape4, Label12, Label13};
}

void FRreciboForm::FormShow()
{
    m_dm.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")});
    m_dm.Emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    m_dm.Recibos.requery(kRecibosMaisNovosPrimeiro);
    m_dm.Tipo.requery({QStringLiteral("SELECT * FROM TIPO"), QStringLiteral("ORDER BY ID_TIPO")});
    setBrowseState();
    DBcliente->setEnabled(false);
    DBcpfcnpjcliente->setEnabled(false);
    for (QWidget *tile : printTiles())
        tile->show();
}

void FRreciboForm::BTnovoClick()
{
    m_dm.Emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    m_dm.Emitente.first();
    m_dm.Recibos.insert();
    const bool semEmitente = m_dm.Emitente.isEmpty();
    const auto doEmitente = [&](const char *column) {
        return semEmitente ? QString() : m_dm.Emitente.fieldByName(QLatin1String(column)).asString();
    };
    m_dm.Recibos.fieldByName(QStringLiteral("LOCAL")).setValue(doEmitente("CIDADE"));
    m_dm.Recibos.fieldByName(QStringLiteral("CLIENTE")).setValue(doEmitente("EMITENTE"));
    m_dm.Recibos.fieldByName(QStringLiteral("CPFCNPJCLIENTE")).setValue(doEmitente("CPFCNPJ"));
    m_dm.Recibos.fieldByName(QStringLiteral("DATA")).setValue(m_today());
    m_dm.Recibos.fieldByName(QStringLiteral("TIPO")).setValue(QStringLiteral("RECEBIMENTO"));
    rememberPendingRow(m_dm.Recibos);
    restaura();
    DBtipo->setFocus();
}

void FRreciboForm::BTalterarClick()
{
    m_dm.Recibos.edit();
    rememberPendingRow(m_dm.Recibos);
    restaura();
    DBtipo->setFocus();
}

void FRreciboForm::BTsalvarClick()
{
    Dataset &recibos = m_dm.Recibos;
    // The typed text first, so the derived texts follow what is on screen.
    DBEdit::updateRecords(this);
    if (recibos.state() == Dataset::State::Browse)
        recibos.edit();
    AtualizaDerivados(recibos);
    postAndCommit(recibos, m_dm.Tra);
    m_uses.FRmensagem12.showModal();
    restaura();
}

void FRreciboForm::BTcancelarClick()
{
    // The oldest receipt is read from the other end of the list, not after all the others.
    ListEntries doFim;
    doFim.keyField = QStringLiteral("ID_RECIBO");
    doFim.reversed = QStringList{QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")};
    Dataset &recibos = m_dm.Recibos;
    recibos.cancel();
    recibos.requeryAtLast(kRecibosMaisNovosPrimeiro, doFim);
    restaura();
}

void FRreciboForm::BTexcluirClick()
{
    Dataset &recibos = m_dm.Recibos;
    if (!recibos.active() || recibos.isEmpty())
        return;
    confirmDeletion(m_uses.FRmensagem10, m_uses.FRmensagem8, [&recibos] { recibos.remove(); });
}

void FRreciboForm::BTconsultarClick()
{
    m_uses.FRconsultarec();
}

void FRreciboForm::Panel1Click()
{
    // The chosen client changes the receipt: in the browse state it is edited first, as Edit does.
    if (BTsalvar->isHidden())
        BTalterarClick();
    m_uses.FRconsultacli2();
}

void FRreciboForm::BTsairClick()
{
    Dataset &recibos = m_dm.Recibos;
    if (!hasUnsavedChanges(recibos)) {
        reject();
        return;
    }
    confirmDiscard(m_uses.FRmensagem17(), [this, &recibos] {
        recibos.cancel();
        reject();
    });
}

// A control disabled while it has the focus loses it without the user leaving
// it; the leaving handlers below do nothing then.

void FRreciboForm::DBtipoExit()
{
    if (!DBtipo->isEnabled())
        return;
    Lrecebi->setText(DBtipo->currentText() == QLatin1String("PAGAMENTO") ? QStringLiteral("Paquei à")
                                                                         : QStringLiteral("Recebi de"));
    Lrecebi->adjustSize();
}

void FRreciboForm::DBvalorExit()
{
    if (!DBvalor->isEnabled() || DBvalor->text().isEmpty())
        return;
    Dataset &recibos = m_dm.Recibos;
    if (recibos.state() == Dataset::State::Browse)
        recibos.edit();
    const QString extenso = NumeroPorExtenso(recibos.fieldByName(QStringLiteral("VALOR")).asFloat());
    recibos.fieldByName(QStringLiteral("VALOREXTENSO")).setValue(extenso);
}

void FRreciboForm::DBdataExit()
{
    if (!DBdata->isEnabled())
        return;
    Dataset &recibos = m_dm.Recibos;
    const Field &data = recibos.fieldByName(QStringLiteral("DATA"));
    if (data.isNull())
        return;
    if (recibos.state() == Dataset::State::Browse)
        recibos.edit();
    recibos.fieldByName(QStringLiteral("DATARECIBO")).setValue(DataPorExtenso(data.asDate()));
}

void FRreciboForm::DBcpfcnpjemitenteExit()
{
    if (!DBcpfcnpjemitente->isEnabled())
        return;
    Field *field = DBcpfcnpjemitente->field();
    const QString formatado = FormataDocumento(DBcpfcnpjemitente->text());
    if (field && formatado != DBcpfcnpjemitente->text() && m_dm.Recibos.state() != Dataset::State::Browse)
        field->setText(formatado);
}

void FRreciboForm::DBemitenteKeyUp()
{
    Query1.close();
    Query1.clearSql();
    // A receipt not saved yet has no number: completion only while a saved one is edited.
    if (DBEdit1->text().isEmpty())
        return;
    const QString digitado = DBemitente->text();
    // No stored name holds such a character; saving will name the field.
    if (win1252::unencodableAt(digitado) >= 0)
        return;
    Query1.setSql({kSqlCompletaNome});
    Query1.setParam(QStringLiteral("TEXTO"), digitado);
    Query1.open();
    if (Query1.isEmpty())
        return;
    const QString nome = Query1.fieldByName(QStringLiteral("CLIENTE")).asString();
    if (nome.isEmpty())
        return;
    const NomeCompletado completado = CompletaNome(digitado, nome);
    DBemitente->setText(completado.texto);
    // Like typed text: it reaches EMITENTE when the field is left or the row saved.
    DBemitente->setModified(true);
    DBemitente->setSelection(completado.inicioSelecao, completado.tamanhoSelecao);
}

void FRreciboForm::Image2Click()
{
    imprime(frxReport, ReceiptSheet::OnePerSheet);
}

void FRreciboForm::Image3Click()
{
    imprime(frxReport1, ReceiptSheet::TwoPerSheet);
}

bool FRreciboForm::semRecibo() const
{
    return !m_dm.Recibos.active() || m_dm.Recibos.isEmpty();
}

ReceiptValues FRreciboForm::valoresMostrados()
{
    ReceiptValues values = receiptValues(m_dm.Recibos, m_dm.Emitente);
    // Payer and signer follow the kind the combo shows.
    values.kind = DBtipo->currentText();
    return values;
}

void FRreciboForm::imprime(Report &layout, ReceiptSheet sheet)
{
    if (semRecibo())
        return;
    printReceipt(layout, sheet, valoresMostrados(), this);
}

void FRreciboForm::Image4Click()
{
    if (semRecibo())
        return;
    m_uses.FRemail(valoresMostrados());
}

void FRreciboForm::Image5Click()
{
    if (semRecibo())
        return;
    Dataset &recibos = m_dm.Recibos;
    static const char *const copiadas[] = {"TIPO", "EMITENTE", "CPFCNPJEMITENTE", "REFERENTE", "OBS", "VALOR",
                                           "VALOREXTENSO"};
    QList<QVariant> valores;
    for (const char *coluna : copiadas)
        valores << recibos.fieldByName(QLatin1String(coluna)).value();
    BTnovoClick();
    for (int i = 0; i < valores.size(); ++i)
        recibos.fieldByName(QLatin1String(copiadas[i])).setValue(valores.at(i));
    recibos.fieldByName(QStringLiteral("DATARECIBO")).setValue(DataPorExtenso(m_today()));
    DBreferente->setFocus();
}
