#include "FRcadastro.h"

#include "LookupQueries.h"

#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "widgets/DBEdit.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QGridLayout>
#include <QLabel>

namespace {

const QString kFisica = QStringLiteral("FÍSICA");

DBEdit *boundEdit(Dataset &clientes, const char *name, const char *column, DBEdit::CharCase charCase, QWidget *parent)
{
    auto *edit = new DBEdit(QLatin1String(name), parent);
    edit->setCharCase(charCase);
    edit->setDataField(&clientes, QLatin1String(column));
    return edit;
}

// A caption above its control, spanning `span` grid columns.
void place(QGridLayout *grid, int row, int column, int span, const QString &caption, QWidget *control)
{
    auto *label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, 2 * row, column, 1, span);
    grid->addWidget(control, 2 * row + 1, column, 1, span);
}

} // namespace

FRcadastroForm::FRcadastroForm(Collaborators collaborators, QWidget *parent)
    : RecordEditor(QStringLiteral("FRcadastro"), QStringLiteral("  Cadastro"), Toolbar::Full, QStringLiteral("Image1"),
                   parent),
      m_uses(std::move(collaborators)),
      m_clientes(m_uses.dataModule.Clientes)
{
    setWindowTitle(QStringLiteral("Cadastro"));
    using Case = DBEdit::CharCase;
    QWidget *host = body();
    DBEdit1 = boundEdit(m_clientes, "DBEdit1", "ID_CLIENTE", Case::Normal, host);
    DBEdit2 = boundEdit(m_clientes, "DBEdit2", "CLIENTE", Case::Upper, host);
    DBtipo = new DBLookupComboBox(QStringLiteral("DBtipo"), host);
    DBtipo->setDataField(&m_clientes, QStringLiteral("CLASSIFICACAO"));
    // TIPO2 is both what the list shows and what the client stores.
    DBtipo->setListSource(&m_uses.dataModule.Tipo2, QStringLiteral("TIPO2"), QStringLiteral("TIPO2"));
    DBEdit14 = boundEdit(m_clientes, "DBEdit14", "CPF", Case::Normal, host);
    DBEdit4 = boundEdit(m_clientes, "DBEdit4", "CNPJ", Case::Normal, host);
    DBEdit3 = boundEdit(m_clientes, "DBEdit3", "EMAIL", Case::Lower, host);
    DBEdit13 = boundEdit(m_clientes, "DBEdit13", "DATANASCIMENTO", Case::Normal, host);
    DBEdit5 = boundEdit(m_clientes, "DBEdit5", "TELEFONE", Case::Normal, host);
    DBEdit6 = boundEdit(m_clientes, "DBEdit6", "TELEFONE2", Case::Normal, host);
    DBEdit8 = boundEdit(m_clientes, "DBEdit8", "ENDERECO", Case::Upper, host);
    DBEdit9 = boundEdit(m_clientes, "DBEdit9", "BAIRRO", Case::Upper, host);
    DBEdit11 = boundEdit(m_clientes, "DBEdit11", "CIDADE", Case::Upper, host);
    DBEdit12 = boundEdit(m_clientes, "DBEdit12", "UF", Case::Upper, host);
    DBEdit10 = boundEdit(m_clientes, "DBEdit10", "CEP", Case::Normal, host);
    DBEdit7 = boundEdit(m_clientes, "DBEdit7", "OBS", Case::Normal, host);
    DBEdit1->setEnabled(false);

    auto *grid = new QGridLayout(host);
    grid->setContentsMargins(16, 12, 16, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    for (int column = 0; column < 4; ++column)
        grid->setColumnStretch(column, 1);
    place(grid, 0, 0, 1, QStringLiteral("Id"), DBEdit1);
    place(grid, 1, 0, 4, QStringLiteral("Nome/Razão Social"), DBEdit2);
    place(grid, 2, 0, 2, QStringLiteral("Física / Jurídica"), DBtipo);
    place(grid, 2, 2, 1, QStringLiteral("CPF"), DBEdit14);
    place(grid, 2, 3, 1, QStringLiteral("CNPJ"), DBEdit4);
    place(grid, 3, 0, 3, QStringLiteral("email"), DBEdit3);
    place(grid, 3, 3, 1, QStringLiteral("Data Nascimento/Abertura"), DBEdit13);
    place(grid, 4, 0, 2, QStringLiteral("Telefone 1"), DBEdit5);
    place(grid, 4, 2, 2, QStringLiteral("Telefone 2"), DBEdit6);
    place(grid, 5, 0, 4, QStringLiteral("Endereço"), DBEdit8);
    place(grid, 6, 0, 2, QStringLiteral("Bairro"), DBEdit9);
    place(grid, 6, 2, 2, QStringLiteral("Cidade"), DBEdit11);
    place(grid, 7, 0, 1, QStringLiteral("Estado"), DBEdit12);
    place(grid, 7, 1, 1, QStringLiteral("Cep"), DBEdit10);
    place(grid, 8, 0, 4, QStringLiteral("Observações"), DBEdit7);

    const QList<QWidget *> tabOrder{DBEdit2, DBtipo, DBEdit14, DBEdit4, DBEdit3, DBEdit13, DBEdit5,
                                    DBEdit6, DBEdit8, DBEdit9, DBEdit11, DBEdit12, DBEdit10, DBEdit7};
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    setRestauraList(tabOrder);
    setMinimumWidth(640);

    connect(BTnovo, &PictureButton::clicked, this, [this] { guarded([this] { BTnovoClick(); }); });
    connect(BTalterar, &PictureButton::clicked, this, [this] { guarded([this] { BTalterarClick(); }); });
    connect(BTexcluir, &PictureButton::clicked, this, [this] { guarded([this] { BTexcluirClick(); }); });
    connect(BTconsultar, &PictureButton::clicked, this, [this] { guarded([this] { BTconsultarClick(); }); });
    connect(BTsalvar, &PictureButton::clicked, this, [this] { guarded([this] { BTsalvarClick(); }); });
    connect(BTcancelar, &PictureButton::clicked, this, [this] { guarded([this] { BTcancelarClick(); }); });
    connect(DBtipo, &DBLookupComboBox::exited, this, [this] { guarded([this] { DBtipoExit(); }); });
}

bool FRcadastroForm::editing() const
{
    const Dataset::State state = m_clientes.state();
    return state == Dataset::State::Insert || state == Dataset::State::Edit;
}

void FRcadastroForm::FormShow()
{
    setBrowseState();
    m_clientes.requery(lookupqueries::clientesByName());
    m_uses.dataModule.Tipo2.open();
}

void FRcadastroForm::BTnovoClick()
{
    m_clientes.insert();
    m_clientes.fieldByName(QStringLiteral("CLASSIFICACAO")).setValue(kFisica);
    rememberPendingRow(m_clientes);
    restaura();
    // A new client is a person until the type says otherwise.
    DBEdit4->setEnabled(false);
    DBEdit2->setFocus();
}

void FRcadastroForm::BTalterarClick()
{
    m_clientes.edit();
    rememberPendingRow(m_clientes);
    restaura();
    DBEdit2->setFocus();
}

void FRcadastroForm::DBtipoExit()
{
    if (!editing())
        return;
    // The number that does not fit the type is erased.
    if (DBtipo->currentText() == kFisica) {
        m_clientes.fieldByName(QStringLiteral("CNPJ")).clear();
        DBEdit4->setEnabled(false);
        DBEdit14->setEnabled(true);
        DBEdit14->setFocus();
    } else {
        m_clientes.fieldByName(QStringLiteral("CPF")).clear();
        DBEdit4->setEnabled(true);
        DBEdit14->setEnabled(false);
        DBEdit4->setFocus();
    }
}

void FRcadastroForm::BTsalvarClick()
{
    if (DBEdit2->text().isEmpty()) {
        m_uses.FRmensagem5.showModal();
        DBEdit2->setFocus();
        return;
    }
    postAndCommit(m_clientes, m_uses.dataModule.Tra);
    m_uses.FRmensagem();
    restaura();
    DBEdit4->setEnabled(false);
    DBEdit14->setEnabled(false);
}

void FRcadastroForm::BTcancelarClick()
{
    m_clientes.cancel();
    restaura();
    DBEdit4->setEnabled(false);
    DBEdit14->setEnabled(false);
}

void FRcadastroForm::BTexcluirClick()
{
    if (!m_clientes.active() || m_clientes.isEmpty())
        return;
    confirmDeletion(m_uses.FRmensagem6, m_uses.FRmensagem8, [this] { m_clientes.remove(); });
}

void FRcadastroForm::BTconsultarClick()
{
    m_uses.FRconsultacli();
}

void FRcadastroForm::Image1Click()
{
    if (!hasUnsavedChanges(m_clientes)) {
        reject();
        return;
    }
    confirmDiscard(m_uses.FRmensagem17(), [this] {
        m_clientes.cancel();
        reject();
    });
}
