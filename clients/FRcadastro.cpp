#include "FRcadastro.h"

#include "FRconsultacli.h"
#include "LookupQueries.h"

#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "widgets/DBEdit.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QGridLayout>
#include <QLabel>

FRcadastroForm *FRcadastro = nullptr;

namespace {

const QString kFisica = QStringLiteral("FÍSICA");

DBEdit *boundEdit(const char *name, const char *column, DBEdit::CharCase charCase, QWidget *parent)
{
    auto *edit = new DBEdit(QLatin1String(name), parent);
    edit->setCharCase(charCase);
    edit->setDataField(&Datamodule1->Clientes, QLatin1String(column));
    return edit;
}

// A caption above its control, spanning `span` grid columns.
void place(QGridLayout *grid, int row, int column, int span, const QString &caption, QWidget *control)
{
    auto *label = new QLabel(caption, control->parentWidget());
    grid->addWidget(label, 2 * row, column, 1, span);
    grid->addWidget(control, 2 * row + 1, column, 1, span);
}

} // namespace

FRcadastroForm::FRcadastroForm(QWidget *parent)
    : RecordEditor(QStringLiteral("FRcadastro"), QStringLiteral("  Cadastro"), Toolbar::Full, QStringLiteral("Image1"),
                   parent)
{
    setWindowTitle(QStringLiteral("Cadastro"));
    using Case = DBEdit::CharCase;
    QWidget *host = body();
    DBEdit1 = boundEdit("DBEdit1", "ID_CLIENTE", Case::Normal, host);
    DBEdit2 = boundEdit("DBEdit2", "CLIENTE", Case::Upper, host);
    DBtipo = new DBLookupComboBox(QStringLiteral("DBtipo"), host);
    DBtipo->setDataField(&Datamodule1->Clientes, QStringLiteral("CLASSIFICACAO"));
    // TIPO2 is both what the list shows and what the client stores.
    DBtipo->setListSource(&Datamodule1->Tipo2, QStringLiteral("TIPO2"), QStringLiteral("TIPO2"));
    DBEdit14 = boundEdit("DBEdit14", "CPF", Case::Normal, host);
    DBEdit4 = boundEdit("DBEdit4", "CNPJ", Case::Normal, host);
    DBEdit3 = boundEdit("DBEdit3", "EMAIL", Case::Lower, host);
    DBEdit13 = boundEdit("DBEdit13", "DATANASCIMENTO", Case::Normal, host);
    DBEdit5 = boundEdit("DBEdit5", "TELEFONE", Case::Normal, host);
    DBEdit6 = boundEdit("DBEdit6", "TELEFONE2", Case::Normal, host);
    DBEdit8 = boundEdit("DBEdit8", "ENDERECO", Case::Upper, host);
    DBEdit9 = boundEdit("DBEdit9", "BAIRRO", Case::Upper, host);
    DBEdit11 = boundEdit("DBEdit11", "CIDADE", Case::Upper, host);
    DBEdit12 = boundEdit("DBEdit12", "UF", Case::Upper, host);
    DBEdit10 = boundEdit("DBEdit10", "CEP", Case::Normal, host);
    DBEdit7 = boundEdit("DBEdit7", "OBS", Case::Normal, host);
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
    const Dataset::State state = Datamodule1->Clientes.state();
    return state == Dataset::State::Insert || state == Dataset::State::Edit;
}

void FRcadastroForm::FormShow()
{
    setBrowseState();
    Datamodule1->Clientes.requery(lookupqueries::clientesByName());
    Datamodule1->Tipo2.open();
}

void FRcadastroForm::BTnovoClick()
{
    Dataset &clientes = Datamodule1->Clientes;
    clientes.insert();
    clientes.fieldByName(QStringLiteral("CLASSIFICACAO")).setValue(kFisica);
    restaura();
    // A new client is a person until the type says otherwise.
    DBEdit4->setEnabled(false);
    DBEdit2->setFocus();
}

void FRcadastroForm::BTalterarClick()
{
    Datamodule1->Clientes.edit();
    restaura();
    DBEdit2->setFocus();
}

void FRcadastroForm::DBtipoExit()
{
    if (!editing())
        return;
    Dataset &clientes = Datamodule1->Clientes;
    // The number that does not fit the type is erased.
    if (DBtipo->currentText() == kFisica) {
        clientes.fieldByName(QStringLiteral("CNPJ")).clear();
        DBEdit4->setEnabled(false);
        DBEdit14->setEnabled(true);
        DBEdit14->setFocus();
    } else {
        clientes.fieldByName(QStringLiteral("CPF")).clear();
        DBEdit4->setEnabled(true);
        DBEdit14->setEnabled(false);
        DBEdit4->setFocus();
    }
}

void FRcadastroForm::BTsalvarClick()
{
    if (DBEdit2->text().isEmpty()) {
        FRmensagem5->showModal();
        DBEdit2->setFocus();
        return;
    }
    postAndCommit(Datamodule1->Clientes, Datamodule1->Tra);
    FRmensagem->showModal();
    restaura();
    DBEdit4->setEnabled(false);
    DBEdit14->setEnabled(false);
}

void FRcadastroForm::BTcancelarClick()
{
    Datamodule1->Clientes.cancel();
    restaura();
    DBEdit4->setEnabled(false);
    DBEdit14->setEnabled(false);
}

void FRcadastroForm::BTexcluirClick()
{
    Dataset &clientes = Datamodule1->Clientes;
    if (!clientes.active() || clientes.isEmpty())
        return;
    FRmensagem6->showModal();
}

void FRcadastroForm::BTconsultarClick()
{
    FRconsultacli->showModal();
}
