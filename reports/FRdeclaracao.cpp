#include "FRdeclaracao.h"

#include "receipts/FormataDocumento.h"
#include "reportengine/ReportPreview.h"
#include "widgets/CaseEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

PictureButton *painel(const char *name, const QString &caption, QWidget *parent)
{
    PictureButton *panel = PictureButton::textPanel(QLatin1String(name), caption, parent);
    panel->setMinimumSize(170, 30);
    return panel;
}

} // namespace

FRdeclaracaoForm::FRdeclaracaoForm(Collaborators collaborators, QWidget *parent)
    : FormBase(QStringLiteral("FRdeclaracao"), QStringLiteral("  Declaração Anual de Pagamentos"),
               QStringLiteral("BTsair"), parent),
      m_uses(std::move(collaborators))
{
    setWindowTitle(QStringLiteral("Declaração Anual de Pagamentos"));
    setEnterMovesFocus(true);
    setFocusHighlight(true);

    EDano = new QSpinBox(body());
    EDano->setObjectName(QStringLiteral("EDano"));
    EDano->setRange(kPrimeiroAno, kUltimoAno);
    EDcpfcnpj = new CaseEdit(QStringLiteral("EDcpfcnpj"), body());
    EDcpfcnpj->setMaxLength(20);
    EDnome = new CaseEdit(QStringLiteral("EDnome"), body());
    EDnome->setCharCase(CaseEdit::CharCase::Upper);
    EDnome->setMaxLength(50);
    Panel2 = painel("Panel2", QStringLiteral("Selecionar do Cadastro"), body());
    CBtipo = new QComboBox(body());
    CBtipo->setObjectName(QStringLiteral("CBtipo"));
    CBtipo->addItems({kRecebimento, kPagamento});
    Panel1 = painel("Panel1", QStringLiteral("Visualizar"), body());

    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(16);
    grid->addWidget(new QLabel(QStringLiteral("Ano"), body()), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Recibos de"), body()), 0, 1);
    grid->addWidget(EDano, 1, 0);
    grid->addWidget(CBtipo, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("CPF/CNPJ"), body()), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Nome ou Razão Social"), body()), 2, 1);
    grid->addWidget(EDcpfcnpj, 3, 0);
    grid->addWidget(EDnome, 3, 1);
    auto *panels = new QHBoxLayout;
    panels->addWidget(Panel2);
    panels->addStretch();
    panels->addWidget(Panel1);
    grid->addLayout(panels, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    resize(560, 0);
    setTabOrder(EDano, CBtipo);
    setTabOrder(CBtipo, EDcpfcnpj);
    setTabOrder(EDcpfcnpj, EDnome);

    connect(EDcpfcnpj, &QLineEdit::editingFinished, this, &FRdeclaracaoForm::EDcpfcnpjExit);
    connect(Panel2, &PictureButton::clicked, this, [this] { guarded([this] { Panel2Click(); }); });
    connect(Panel1, &PictureButton::clicked, this, [this] { guarded([this] { Panel1Click(); }); });
}

void FRdeclaracaoForm::FormShow()
{
    EDano->setValue(m_today().year() - 1);
    CBtipo->setCurrentText(kRecebimento);
    EDcpfcnpj->clear();
    EDnome->clear();
    EDano->setFocus();
}

void FRdeclaracaoForm::EDcpfcnpjExit()
{
    const QString formatado = FormataDocumento(EDcpfcnpj->text());
    if (formatado != EDcpfcnpj->text())
        EDcpfcnpj->setText(formatado);
}

void FRdeclaracaoForm::Panel2Click()
{
    const std::optional<ClienteEscolhido> cliente = m_uses.FRconsultacli3();
    if (!cliente)
        return;
    EDnome->setText(cliente->nome);
    EDcpfcnpj->setText(cliente->documento);
}

void FRdeclaracaoForm::Panel1Click()
{
    // The panel takes no focus: a number typed last has not been left yet.
    EDcpfcnpjExit();
    PedidoDeclaracao pedido;
    pedido.ano = EDano->value();
    pedido.tipo = CBtipo->currentText();
    pedido.documento = EDcpfcnpj->text();
    pedido.nome = EDnome->text();
    ConsultaDeclaracao consulta(m_uses.dataModule);
    m_relatorio.preenche(consulta.declaracao(pedido), consulta.emissor(), m_today());
    showReport(m_relatorio.frxDeclaracao(), this);
}
