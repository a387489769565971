#include "clients/FRcadastro.h"
#include "clients/FRconsultacli.h"
#include "clients/FRconsultacli2.h"
#include "clients/FRconsultacli3.h"
#include "clients/FRconsultarec.h"
#include "clients/LookupForm.h"
#include "clients/LookupQueries.h"
#include "common/ModalAnswerer.h"
#include "common/ProgramFixture.h"
#include "common/ScreenTesting.h"
#include "common/TempDatabase.h"

#include "data/Datamodule1.h"
#include "widgets/CaseEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <memory>

namespace {

const QString kFisica = QStringLiteral("FÍSICA");
const QString kJuridica = QStringLiteral("JURÍDICA");
const QStringList kFields{"DBEdit2", "DBtipo", "DBEdit14", "DBEdit4", "DBEdit3", "DBEdit13", "DBEdit5",
                          "DBEdit6", "DBEdit8", "DBEdit9", "DBEdit11", "DBEdit12", "DBEdit10", "DBEdit7"};
const QStringList kToolbar{"BTnovo", "BTalterar", "BTexcluir", "BTconsultar", "BTsalvar", "BTcancelar"};

template <typename T = QWidget>
T *child(QWidget *form, const QString &name)
{
    T *found = form->findChild<T *>(name);
    if (!found)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(form->objectName()));
    return found;
}

void exec(DataModule &dm, const QString &sql, const QVariantList &params = {})
{
    dm.Base.open();
    if (!dm.Tra.inTransaction())
        dm.Tra.startTransaction();
    PreparedStatement(dm.Base, sql).execute(dm.Tra, params);
    dm.Tra.commitRetaining();
}

void addClient(DataModule &dm, const QString &name, const QVariant &type = QVariant(), const QVariant &cpf = QVariant(),
               const QVariant &cnpj = QVariant())
{
    exec(dm, QStringLiteral("INSERT INTO CLIENTES (ID_CLIENTE, CLIENTE, CLASSIFICACAO, CPF, CNPJ) "
                        "VALUES (GEN_ID(GEN_CLIENTES_ID, 1), ?, ?, ?, ?)"),
         {name, type, cpf, cnpj});
}

void addReceipt(DataModule &dm, const QString &issuer, const QString &party)
{
    exec(dm, QStringLiteral("INSERT INTO RECIBOS (ID_RECIBO, CLIENTE, EMITENTE, TIPO) "
                        "VALUES (GEN_ID(GEN_RECIBOS_ID, 1), ?, ?, 'RECEBIMENTO')"),
         {issuer, party});
}

// What a column of the grid shows, every row fetched.
QStringList gridColumn(QAbstractItemView *grid, int column)
{
    QAbstractItemModel *model = grid->model();
    while (model->canFetchMore({}))
        model->fetchMore({});
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QString current(DataModule &dm, const char *column)
{
    return dm.Clientes.fieldByName(QLatin1String(column)).asString();
}

void key(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

QStringList visibleToolbar(QWidget *form)
{
    QStringList names;
    for (const QString &name : kToolbar) {
        if (child(form, name)->isVisibleTo(form))
            names << name;
    }
    return names;
}

QStringList enabledFields(QWidget *form)
{
    QStringList names;
    for (const QString &name : kFields) {
        if (child(form, name)->isEnabled())
            names << name;
    }
    return names;
}

QStringList without(QStringList names, const QStringList &removed)
{
    for (const QString &name : removed)
        names.removeAll(name);
    return names;
}

void chooseType(QWidget *form, const QString &text)
{
    auto *combo = child<QComboBox>(form, QStringLiteral("DBtipo"));
    combo->setFocus();
    for (int i = 0; i < 4 && combo->currentText() != text; ++i)
        QTest::keyClick(combo, combo->currentIndex() < combo->findText(text) ? Qt::Key_Down : Qt::Key_Up);
}

QVariant stored(DataModule &dm, const QString &column, int id)
{
    return dm.Base.prepared(QStringLiteral("SELECT %1 FROM CLIENTES WHERE ID_CLIENTE = ?").arg(column))
        .execute(dm.Tra, {id}).value(0);
}

void addLookupRows(DataModule &dm)
{
    for (const char *name : {"JOSE", "MARIA JOANA", "JOANA", "JOAQUIM", "D'ÁVILA", "50% OFF", "500 X", "A_B", "AXB"})
        addClient(dm, QString::fromUtf8(name), kFisica);
    addClient(dm, QString());
    addReceipt(dm, QStringLiteral("JOANA"), QStringLiteral("MARIA"));
    addReceipt(dm, QStringLiteral("ANA"), QStringLiteral("JOSE"));
    addReceipt(dm, QStringLiteral("ANA"), QStringLiteral("MARIA JOSE"));
    addReceipt(dm, QStringLiteral("PEDRO"), QStringLiteral("JOAQUIM"));
}

QAbstractItemView *grid(QWidget *form)
{
    return child<QAbstractItemView>(form, QStringLiteral("DBGrid1"));
}

LookupForm *lookup(Screens &screens, const QString &name)
{
    if (name == QLatin1String("FRconsultacli"))
        return screens.FRconsultacli.get();
    if (name == QLatin1String("FRconsultacli2"))
        return screens.FRconsultacli2.get();
    return screens.FRconsultarec.get();
}

// Double click on the grid's current row, or on its empty area.
void doubleClickGrid(QAbstractItemView *grid)
{
    const QModelIndex index = grid->currentIndex();
    const QPoint at = index.isValid() ? grid->visualRect(index).center() : QPoint(5, 5);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

// In a shown lookup: types the text, then presses Down `downs` times.
void search(LookupForm *form, const QString &text, int downs)
{
    typeKeys(form->EDlocalizar, text);
    for (int i = 0; i < downs; ++i)
        key(Qt::Key_Down);
}

void closeLookup(LookupForm *form, const QString &way)
{
    if (way == QLatin1String("Esc"))
        key(Qt::Key_Escape);
    else if (way == QLatin1String("Image1"))
        QTest::mouseClick(child(form, QStringLiteral("Image1")), Qt::LeftButton);
    else
        doubleClickGrid(grid(form));
}

} // namespace

class TstClients : public QObject
{
    Q_OBJECT

    // Made once; each test works on a copy of it.
    std::unique_ptr<ProgramFixture> m_program;

    DataModule &dm() { return m_program->dm(); }
    Screens &screens() { return m_program->screens(); }

    // Shows the registry as the main menu does, and makes it the active window.
    void showRegistry()
    {
        screens().FRcadastro->show();
        screens().FRcadastro->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screens().FRcadastro.get()));
    }

    void clickAnswering(const QString &button, const QString &dialog, const QString &answer)
    {
        ModalAnswerer answerer;
        answerer.thenClickNamed(answer);
        QTest::mouseClick(child(screens().FRcadastro.get(), button), Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList{dialog});
    }

private slots:
    void initTestCase() { prepareScreenTests(); }

    void init()
    {
        errordisplay::clearLastError();
        m_program = std::make_unique<ProgramFixture>();
    }

    void cleanup() { m_program.reset(); }

    // Steps: a toolbar picture's name, "BTsalvar>DIALOG" (a save answered in
    // DIALOG) or "name:TEXT" (typed into the name).
    void toolbarAndFieldsAfterEachStep_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("toolbar");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<int>("clients");

        const QStringList browse{"BTnovo", "BTalterar", "BTexcluir", "BTconsultar"};
        const QStringList edit{"BTsalvar", "BTcancelar"};
        const QStringList person = without(kFields, {"DBEdit4"});
        QTest::newRow("new") << QStringList{"BTnovo"} << edit << person << 1;
        QTest::newRow("new, save") << QStringList{"BTnovo", "name:ANA", "BTsalvar>FRmensagem"} << browse << QStringList() << 2;
        QTest::newRow("new, cancel") << QStringList{"BTnovo", "name:ANA", "BTcancelar"} << browse << QStringList() << 1;
        QTest::newRow("new, save, edit") << QStringList{"BTnovo", "name:ANA", "BTsalvar>FRmensagem", "BTalterar"} << edit
                                         << kFields << 2;
        QTest::newRow("new, save, edit, cancel")
            << QStringList{"BTnovo", "name:ANA", "BTsalvar>FRmensagem", "BTalterar", "BTcancelar"} << browse << QStringList() << 2;
        QTest::newRow("save, cancel, save again")
            << QStringList{"BTnovo", "name:ANA", "BTsalvar>FRmensagem", "BTnovo", "BTcancelar", "BTalterar",
                           "name:X", "BTsalvar>FRmensagem"}
            << browse << QStringList() << 2;
        QTest::newRow("empty name refused") << QStringList{"BTnovo", "BTsalvar>FRmensagem5"} << edit << person << 1;
        QTest::newRow("blank name accepted") << QStringList{"BTnovo", "name:   ", "BTsalvar>FRmensagem"} << browse
                                             << QStringList() << 2;
    }

    void toolbarAndFieldsAfterEachStep()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, toolbar);
        QFETCH(QStringList, enabled);
        QFETCH(int, clients);
        addClient(dm(), QStringLiteral("ZULMIRA"));
        showRegistry();
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("name:")))
                typeInto(screens().FRcadastro->DBEdit2, step.mid(5));
            else if (step.contains(QLatin1Char('>')))
                clickAnswering(step.section(QLatin1Char('>'), 0, 0), step.section(QLatin1Char('>'), 1), QStringLiteral("FlatButton1"));
            else
                QTest::mouseClick(child(screens().FRcadastro.get(), step), Qt::LeftButton);
        }
        QCOMPARE(visibleToolbar(screens().FRcadastro.get()), toolbar);
        QCOMPARE(enabledFields(screens().FRcadastro.get()), enabled);
        QVERIFY(!screens().FRcadastro->DBEdit1->isEnabled());
        QCOMPARE(rowCount(dm(), QStringLiteral("CLIENTES")), clients);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    void personTypeErasesTheOtherNumber_data()
    {
        QTest::addColumn<QString>("firstType");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("finalType");
        QTest::addColumn<QString>("cpf");
        QTest::addColumn<QString>("cnpj");
        QTest::addColumn<QString>("focus");

        QTest::newRow("company erases the CPF") << kFisica << "12345678901" << kJuridica << "" << "" << "DBEdit4";
        QTest::newRow("person again erases the CNPJ") << kJuridica << "12345678000190" << kFisica << "" << "" << "DBEdit14";
        QTest::newRow("person keeps its CPF") << kFisica << "12345678901" << kFisica << "123.456.789-01" << "" << "DBEdit14";
        QTest::newRow("company keeps its CNPJ") << kJuridica << "12345678000190" << kJuridica << ""
                                                << "12.345.678/0001-90" << "DBEdit4";
    }

    void personTypeErasesTheOtherNumber()
    {
        QFETCH(QString, firstType);
        QFETCH(QString, number);
        QFETCH(QString, finalType);
        QFETCH(QString, cpf);
        QFETCH(QString, cnpj);
        QFETCH(QString, focus);
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTnovo, Qt::LeftButton);
        QCOMPARE(current(dm(), "CLASSIFICACAO"), kFisica);
        QVERIFY(screens().FRcadastro->DBEdit14->isEnabled() && !screens().FRcadastro->DBEdit4->isEnabled());

        chooseType(screens().FRcadastro.get(), firstType);
        key(Qt::Key_Return);
        typeInto(QApplication::focusWidget(), number);
        chooseType(screens().FRcadastro.get(), finalType);
        key(Qt::Key_Return);

        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(current(dm(), "CPF"), cpf);
        QCOMPARE(current(dm(), "CNPJ"), cnpj);
        QCOMPARE(screens().FRcadastro->DBEdit14->isEnabled(), finalType == kFisica);
        QCOMPARE(screens().FRcadastro->DBEdit4->isEnabled(), finalType != kFisica);
    }

    void editWithoutTouchingTheTypeKeepsBothNumbers()
    {
        addClient(dm(), QStringLiteral("ANA"), kFisica, QStringLiteral("123.456.789-01"), QStringLiteral("12.345.678/0001-90"));
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTalterar, Qt::LeftButton);
        QVERIFY(screens().FRcadastro->DBEdit14->isEnabled() && screens().FRcadastro->DBEdit4->isEnabled());
        typeInto(screens().FRcadastro->DBEdit8, QStringLiteral("rua a"));
        clickAnswering(QStringLiteral("BTsalvar"), QStringLiteral("FRmensagem"), QStringLiteral("FlatButton1"));
        const int id = current(dm(), "ID_CLIENTE").toInt();
        QCOMPARE(stored(dm(), QStringLiteral("CPF"), id).toString(), QStringLiteral("123.456.789-01"));
        QCOMPARE(stored(dm(), QStringLiteral("CNPJ"), id).toString(), QStringLiteral("12.345.678/0001-90"));
        QCOMPARE(stored(dm(), QStringLiteral("ENDERECO"), id).toString(), QStringLiteral("RUA A"));
    }

    void typedValuesAreStored_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");

        QTest::newRow("CPF punctuated") << "DBEdit14" << "12345678901" << "CPF" << "123.456.789-01";
        QTest::newRow("CNPJ punctuated") << "DBEdit4" << "12345678000190" << "CNPJ" << "12.345.678/0001-90";
        QTest::newRow("CNPJ with letters") << "DBEdit4" << "12abc34501de35" << "CNPJ" << "12.ABC.345/01DE-35";
        QTest::newRow("CEP") << "DBEdit10" << "12345678" << "CEP" << "12345-678";
        QTest::newRow("CEP without its optional digits") << "DBEdit10" << "12345" << "CEP" << "12345-";
        QTest::newRow("birth date") << "DBEdit13" << "01021990" << "DATANASCIMENTO" << "1990-02-01";
        QTest::newRow("e-mail lower case") << "DBEdit3" << "Ana@Exemplo.COM" << "EMAIL" << "ana@exemplo.com";
        QTest::newRow("address upper case") << "DBEdit8" << "rua são joão" << "ENDERECO" << "RUA SÃO JOÃO";
        QTest::newRow("state two letters") << "DBEdit12" << "pern" << "UF" << "PE";
        QTest::newRow("remarks as typed") << "DBEdit7" << "Cliente antigo" << "OBS" << "Cliente antigo";
    }

    void typedValuesAreStored()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, column);
        QFETCH(QString, value);
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTnovo, Qt::LeftButton);
        typeInto(screens().FRcadastro->DBEdit2, QStringLiteral("ana"));
        if (column == QLatin1String("CNPJ")) {
            chooseType(screens().FRcadastro.get(), kJuridica);
            key(Qt::Key_Return);
        }
        typeInto(child(screens().FRcadastro.get(), control), typed);
        clickAnswering(QStringLiteral("BTsalvar"), QStringLiteral("FRmensagem"), QStringLiteral("FlatButton1"));
        const QVariant saved = stored(dm(), column, current(dm(), "ID_CLIENTE").toInt());
        QCOMPARE(saved.typeId() == QMetaType::QDate ? saved.toDate().toString(Qt::ISODate) : saved.toString(), value);
        QCOMPARE(stored(dm(), QStringLiteral("CLIENTE"), current(dm(), "ID_CLIENTE").toInt()).toString(), QStringLiteral("ANA"));
    }

    void incompleteMaskIsRefusedAndEscRestores_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");

        QTest::newRow("CPF") << "DBEdit14" << "123";
        QTest::newRow("CNPJ") << "DBEdit4" << "12ab";
        QTest::newRow("CEP") << "DBEdit10" << "1234";
        QTest::newRow("birth date") << "DBEdit13" << "0102";
    }

    void incompleteMaskIsRefusedAndEscRestores()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        addClient(dm(), QStringLiteral("ANA"), kJuridica, QVariant(), QStringLiteral("11.222.333/0001-44"));
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTalterar, Qt::LeftButton);
        auto *entry = child<QLineEdit>(screens().FRcadastro.get(), control);
        const QString before = entry->text();
        entry->setFocus();
        entry->selectAll();
        QTest::keyClick(entry, Qt::Key_Delete);
        QTest::keyClicks(entry, typed);
        key(Qt::Key_Return);
        QCOMPARE(errordisplay::lastError(), DBEdit::invalidInputText());
        QCOMPARE(QApplication::focusWidget(), entry);

        errordisplay::clearLastError();
        QTest::keyClick(entry, Qt::Key_Escape);
        QCOMPARE(entry->text(), before);
        key(Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != entry);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    void enterMovesInTabOrderAndWraps_data()
    {
        QTest::addColumn<bool>("company");
        QTest::addColumn<QStringList>("order");

        QTest::newRow("new person") << false
                                    << QStringList{"DBtipo", "DBEdit14", "DBEdit3", "DBEdit13", "DBEdit5", "DBEdit6", "DBEdit8",
                                                   "DBEdit9", "DBEdit11", "DBEdit12", "DBEdit10", "DBEdit7", "DBEdit2", "DBtipo"};
        QTest::newRow("edited company") << true
                                        << QStringList{"DBtipo", "DBEdit4", "DBEdit3", "DBEdit13", "DBEdit5", "DBEdit6", "DBEdit8",
                                                       "DBEdit9", "DBEdit11", "DBEdit12", "DBEdit10", "DBEdit7", "DBEdit2", "DBtipo"};
    }

    void enterMovesInTabOrderAndWraps()
    {
        QFETCH(bool, company);
        QFETCH(QStringList, order);
        addClient(dm(), QStringLiteral("ANA"), kJuridica);
        showRegistry();
        QTest::mouseClick(company ? screens().FRcadastro->BTalterar : screens().FRcadastro->BTnovo, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), screens().FRcadastro->DBEdit2);
        QStringList visited;
        for (int i = 0; i < order.size(); ++i) {
            key(Qt::Key_Return);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
    }

    void characterOutsideWin1252IsRefusedAndKept_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString refused = QStringLiteral("O campo %1 contém um caractere que não pode ser gravado: %2");
        QTest::newRow("name") << "DBEdit2" << "łukasz" << refused.arg(QStringLiteral("Nome/Razão Social"), QStringLiteral("Ł"));
        QTest::newRow("address") << "DBEdit8" << "rua ő" << refused.arg(QStringLiteral("Endereço"), QStringLiteral("Ő"));
        QTest::newRow("notes") << "DBEdit7" << "ok ☺" << refused.arg(QStringLiteral("Observações"), QStringLiteral("☺"));
    }

    void characterOutsideWin1252IsRefusedAndKept()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTnovo, Qt::LeftButton);
        typeInto(screens().FRcadastro->DBEdit2, QStringLiteral("NOME"));
        auto *entry = child<DBEdit>(screens().FRcadastro.get(), field);
        typeInto(entry, typed);
        const QString kept = entry->text();
        ModalAnswerer answerer;
        QTest::mouseClick(screens().FRcadastro->BTsalvar, Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList());
        QCOMPARE(errordisplay::lastError(), message);
        QCOMPARE(rowCount(dm(), QStringLiteral("CLIENTES")), 0);
        QCOMPARE(entry->text(), kept);
        QVERIFY(screens().FRcadastro->BTsalvar->isVisibleTo(screens().FRcadastro.get()));
    }

    void showingAgainDropsThePendingRow()
    {
        addClient(dm(), QStringLiteral("BETO"));
        addClient(dm(), QStringLiteral("ANA"));
        showRegistry();
        QTest::mouseClick(screens().FRcadastro->BTnovo, Qt::LeftButton);
        typeInto(screens().FRcadastro->DBEdit2, QStringLiteral("CARLOS"));
        ModalAnswerer answerer;
        answerer.thenClick(QStringLiteral("Sim"));
        QTest::mouseClick(child(screens().FRcadastro.get(), QStringLiteral("Image1")), Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem17")});
        QVERIFY(!screens().FRcadastro->isVisible());
        showRegistry();
        QCOMPARE(visibleToolbar(screens().FRcadastro.get()), (QStringList{"BTnovo", "BTalterar", "BTexcluir", "BTconsultar"}));
        QCOMPARE(enabledFields(screens().FRcadastro.get()), QStringList());
        QCOMPARE(screens().FRcadastro->DBEdit2->text(), QStringLiteral("ANA"));
        QCOMPARE(rowCount(dm(), QStringLiteral("CLIENTES")), 2);
    }

    void lookupSearch_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("shown");

        const QString cli = QStringLiteral("FRconsultacli");
        QTest::newRow("JO, in name order") << cli << "JO" << 0 << QStringList{"JOANA", "JOAQUIM", "JOSE"};
        QTest::newRow("typed lower case") << cli << "jo" << 0 << QStringList{"JOANA", "JOAQUIM", "JOSE"};
        QTest::newRow("JO then erased back to J") << cli << "JOA\b\b" << 0 << QStringList{"JOANA", "JOAQUIM", "JOSE"};
        QTest::newRow("apostrophe") << cli << "D'" << 0 << QStringList{"D'ÁVILA"};
        QTest::newRow("percent sign") << cli << "50%" << 0 << QStringList{"50% OFF"};
        QTest::newRow("underscore") << cli << "A_" << 0 << QStringList{"A_B"};
        QTest::newRow("no match") << cli << "ZZ" << 0 << QStringList();
        QTest::newRow("longer than any name") << cli << QString(51, QLatin1Char('A')) << 0 << QStringList();
        QTest::newRow("empty: every named client")
            << cli << "" << 0
            << QStringList{"50% OFF", "500 X", "AXB", "A_B", "D'ÁVILA", "JOANA", "JOAQUIM", "JOSE", "MARIA JOANA"};
        QTest::newRow("second client lookup") << "FRconsultacli2" << "JOS" << 1 << QStringList{kFisica};
        QTest::newRow("receipts by either party") << "FRconsultarec" << "JO" << 1 << QStringList{"1", "2", "4"};
        QTest::newRow("receipts, every one oldest first") << "FRconsultarec" << "" << 1 << QStringList{"1", "2", "3", "4"};
    }

    void lookupSearch()
    {
        QFETCH(QString, screen);
        QFETCH(QString, typed);
        QFETCH(int, column);
        QFETCH(QStringList, shown);
        addLookupRows(dm());
        LookupForm *form = lookup(screens(), screen);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(QApplication::focusWidget(), form->EDlocalizar);
        for (QChar c : typed) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(form->EDlocalizar, Qt::Key_Backspace);
            else
                typeKeys(form->EDlocalizar, QString(c));
        }
        QCOMPARE(gridColumn(grid(form), column), shown);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    // The empty text has a query of its own; it lists what the prefix search lists for "".
    void emptyReceiptSearchListsThePrefixSearchsRows()
    {
        addLookupRows(dm());
        addReceipt(dm(), QString(), QString());
        addReceipt(dm(), QString(), QStringLiteral("ZÉ"));
        addReceipt(dm(), QStringLiteral("LUÍS"), QString());
        Dataset byPrefix(dm().Base, dm().Tra, QStringLiteral("porPrefixo"));
        lookupqueries::search(byPrefix, lookupqueries::recibosByPrefix(), QStringLiteral(""));
        QStringList expected;
        for (byPrefix.first(); !byPrefix.eof(); byPrefix.next())
            expected << byPrefix.fieldByName(QStringLiteral("ID_RECIBO")).asString();
        QCOMPARE(expected, (QStringList{"1", "2", "3", "4", "6", "7"}));

        LookupForm *form = screens().FRconsultarec.get();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(gridColumn(grid(form), 1), expected);
        typeKeys(form->EDlocalizar, QStringLiteral("J"));
        QCOMPARE(gridColumn(grid(form), 1), (QStringList{"1", "2", "4"}));
        QTest::keyClick(form->EDlocalizar, Qt::Key_Backspace);
        QCOMPARE(gridColumn(grid(form), 1), expected);
    }

    void pastedSearchIsUpperCased()
    {
        addLookupRows(dm());
        LookupForm *form = screens().FRconsultacli.get();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        pasteInto(form->EDlocalizar, QStringLiteral("jo"));
        QCOMPARE(form->EDlocalizar->text(), QStringLiteral("JO"));
        QCOMPARE(gridColumn(grid(form), 0), (QStringList{"JOANA", "JOAQUIM", "JOSE"}));
    }

    void searchWithACharacterOutsideWin1252()
    {
        addLookupRows(dm());
        screens().FRconsultacli->show();
        QVERIFY(QTest::qWaitForWindowActive(screens().FRconsultacli.get()));
        QStringList shown;
        errordisplay::setPresenter([&shown](const QString &text) { shown << text; });
        // One message for the burst of keys that keep the character in the entry.
        search(screens().FRconsultacli.get(), QStringLiteral("JŁOŁA"), 0);
        QCOMPARE(shown, QStringList{QStringLiteral("O campo Nome/Razão contém um caractere que não pode ser gravado: Ł")});
        QCOMPARE(screens().FRconsultacli->EDlocalizar->text(), QStringLiteral("JŁOŁA"));
        QCOMPARE(gridColumn(grid(screens().FRconsultacli.get()), 0), QStringList());
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(screens().FRconsultacli->EDlocalizar, Qt::Key_Backspace);
        QCOMPARE(gridColumn(grid(screens().FRconsultacli.get()), 0), (QStringList{"JOANA", "JOAQUIM", "JOSE"}));
        // A new burst is told again.
        typeKeys(screens().FRconsultacli->EDlocalizar, QStringLiteral("Ő"));
        QCOMPARE(shown.size(), 2);
        prepareScreenTests();
    }

    void lookupStartsAfreshOnEveryShowing()
    {
        addLookupRows(dm());
        screens().FRconsultacli->show();
        search(screens().FRconsultacli.get(), QStringLiteral("JOS"), 0);
        screens().FRconsultacli->close();
        screens().FRconsultacli->show();
        QCOMPARE(screens().FRconsultacli->EDlocalizar->text(), QString());
        QCOMPARE(gridColumn(grid(screens().FRconsultacli.get()), 0).size(), 9);
    }

    void downFromTheEntryOnlyMovesTheFocus()
    {
        addLookupRows(dm());
        screens().FRconsultacli->show();
        QVERIFY(QTest::qWaitForWindowActive(screens().FRconsultacli.get()));
        search(screens().FRconsultacli.get(), QStringLiteral("JO"), 1);
        QCOMPARE(QApplication::focusWidget(), grid(screens().FRconsultacli.get()));
        QCOMPARE(current(dm(), "CLIENTE"), QStringLiteral("JOANA"));
        key(Qt::Key_Down);
        QCOMPARE(current(dm(), "CLIENTE"), QStringLiteral("JOAQUIM"));
    }

    void registryShowsTheClientChosenInItsLookup_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("shown");

        QTest::newRow("Esc on the first match") << "JO" << 0 << "Esc" << "JOANA";
        QTest::newRow("double click after moving") << "JO" << 2 << "double click" << "JOAQUIM";
        QTest::newRow("close image") << "MA" << 0 << "Image1" << "MARIA JOANA";
        QTest::newRow("double click on no match: the first by name") << "ZZ" << 1 << "double click" << "";
    }

    void registryShowsTheClientChosenInItsLookup()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(QString, way);
        QFETCH(QString, shown);
        addLookupRows(dm());
        showRegistry();
        ModalAnswerer answerer;
        answerer.then([&](QWidget *) {
            search(screens().FRconsultacli.get(), typed, downs);
            closeLookup(screens().FRconsultacli.get(), way);
        });
        QTest::mouseClick(screens().FRcadastro->BTconsultar, Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultacli")});
        QVERIFY(!screens().FRconsultacli->isVisible());
        QCOMPARE(screens().FRcadastro->DBEdit2->text(), shown);
        // The full list again, the client without a name included.
        dm().Clientes.last();
        QCOMPARE(dm().Clientes.rowCount(), 10);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    void receiptLookupLeavesTheChosenReceiptCurrent_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("receipt");

        QTest::newRow("double click on the third match") << "JO" << 3 << "double click" << 4;
        QTest::newRow("Esc") << "AN" << 2 << "Esc" << 3;
    }

    void receiptLookupLeavesTheChosenReceiptCurrent()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(QString, way);
        QFETCH(int, receipt);
        addLookupRows(dm());
        dm().Clientes.requery(lookupqueries::clientesByName());
        dm().Clientes.moveTo(3);
        const QString client = current(dm(), "CLIENTE");
        ModalAnswerer answerer;
        answerer.then([&](QWidget *) {
            search(screens().FRconsultarec.get(), typed, downs);
            closeLookup(screens().FRconsultarec.get(), way);
        });
        screens().FRconsultarec->showModal();
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultarec")});
        QCOMPARE(dm().Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), receipt);
        QCOMPARE(current(dm(), "CLIENTE"), client);
    }

    void chosenClientGoesIntoTheReceipt_data()
    {
        QTest::addColumn<QVariant>("clientType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("withReceipt");
        QTest::addColumn<QString>("party");
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("state");

        const int editing = int(Dataset::State::Edit);
        const int inserting = int(Dataset::State::Insert);
        QTest::newRow("person: CPF") << QVariant(kFisica) << "BE" << true << "BEATRIZ" << "123.456.789-01" << editing;
        QTest::newRow("company: CNPJ") << QVariant(kJuridica) << "BE" << true << "BEATRIZ" << "12.345.678/0001-90" << editing;
        QTest::newRow("no type: CNPJ") << QVariant() << "BE" << true << "BEATRIZ" << "12.345.678/0001-90" << editing;
        QTest::newRow("no match: emptied") << QVariant(kFisica) << "ZZ" << true << "" << "" << editing;
        QTest::newRow("no receipt yet: a new one") << QVariant(kFisica) << "BE" << false << "BEATRIZ" << "123.456.789-01"
                                                   << inserting;
    }

    void chosenClientGoesIntoTheReceipt()
    {
        QFETCH(QVariant, clientType);
        QFETCH(QString, typed);
        QFETCH(bool, withReceipt);
        QFETCH(QString, party);
        QFETCH(QString, document);
        QFETCH(int, state);
        addClient(dm(), QStringLiteral("BEATRIZ"), clientType, QStringLiteral("123.456.789-01"), QStringLiteral("12.345.678/0001-90"));
        if (withReceipt)
            addReceipt(dm(), QStringLiteral("EMPRESA"), QStringLiteral("OUTRO"));
        Dataset &recibos = dm().Recibos;
        recibos.requery(lookupqueries::recibosNewestFirst());
        ModalAnswerer answerer;
        answerer.then([&](QWidget *) {
            search(screens().FRconsultacli2.get(), typed, 0);
            closeLookup(screens().FRconsultacli2.get(), QStringLiteral("double click"));
        });
        screens().FRconsultacli2->showModal();
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultacli2")});
        QCOMPARE(int(recibos.state()), state);
        QCOMPARE(recibos.fieldByName(QStringLiteral("EMITENTE")).asString(), party);
        QCOMPARE(recibos.fieldByName(QStringLiteral("CPFCNPJEMITENTE")).asString(), document);
        if (withReceipt)
            QCOMPARE(recibos.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("EMPRESA"));
        // Nothing is posted by the lookup.
        QCOMPARE(rowCount(dm(), QStringLiteral("RECIBOS WHERE EMITENTE = 'BEATRIZ'")), 0);
    }

    void statementLookupOnlyTellsTheChoice_data()
    {
        QTest::addColumn<QVariant>("clientType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("document");

        QTest::newRow("person: CPF") << QVariant(kFisica) << "BE" << "double click" << true << "123.456.789-01";
        QTest::newRow("company: CNPJ") << QVariant(kJuridica) << "BE" << "double click" << true << "12.345.678/0001-90";
        QTest::newRow("no match: nobody") << QVariant(kFisica) << "ZZ" << "double click" << false << "";
        QTest::newRow("Esc: nobody") << QVariant(kFisica) << "BE" << "Esc" << false << "";
        QTest::newRow("close image: nobody") << QVariant(kFisica) << "BE" << "Image1" << false << "";
    }

    void statementLookupOnlyTellsTheChoice()
    {
        QFETCH(QVariant, clientType);
        QFETCH(QString, typed);
        QFETCH(QString, way);
        QFETCH(bool, chosen);
        addClient(dm(), QStringLiteral("BEATRIZ"), clientType, QStringLiteral("123.456.789-01"), QStringLiteral("12.345.678/0001-90"));
        addReceipt(dm(), QStringLiteral("EMPRESA"), QStringLiteral("OUTRO"));
        Dataset &recibos = dm().Recibos;
        recibos.requery(lookupqueries::recibosNewestFirst());
        FRconsultacli3Form *lookup = screens().FRconsultacli3.get();
        ModalAnswerer answerer;
        answerer.then([&](QWidget *) {
            search(lookup, typed, 0);
            closeLookup(lookup, way);
        });
        const std::optional<ClienteEscolhido> cliente = lookup->escolhe();
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultacli3")});
        QCOMPARE(cliente.has_value(), chosen);
        if (chosen) {
            QCOMPARE(cliente->nome, QStringLiteral("BEATRIZ"));
            QTEST(cliente->documento, "document");
        }
        QCOMPARE(recibos.state(), Dataset::State::Browse);
        QCOMPARE(recibos.fieldByName(QStringLiteral("EMITENTE")).asString(), QStringLiteral("OUTRO"));
    }

    void deleteSequence_data()
    {
        QTest::addColumn<int>("clients");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("shown");

        QTest::newRow("Sim on a middle row") << 3 << 1 << "FlatButton1" << 2 << "C";
        QTest::newRow("Sim on the last row") << 3 << 2 << "FlatButton1" << 2 << "B";
        QTest::newRow("Não") << 3 << 1 << "FlatButton2" << 3 << "B";
        QTest::newRow("the only row") << 1 << 0 << "FlatButton1" << 0 << "";
    }

    void deleteSequence()
    {
        QFETCH(int, clients);
        QFETCH(int, row);
        QFETCH(QString, answer);
        QFETCH(int, left);
        QFETCH(QString, shown);
        for (int i = 0; i < clients; ++i)
            addClient(dm(), QString(QChar('A' + i)));
        showRegistry();
        dm().Clientes.moveTo(row);
        ModalAnswerer answerer;
        answerer.thenClickNamed(answer);
        answerer.thenClickNamed(QStringLiteral("FlatButton1"));
        QTest::mouseClick(screens().FRcadastro->BTexcluir, Qt::LeftButton);
        const QStringList asked = answer == QLatin1String("FlatButton1") ? QStringList{"FRmensagem6", "FRmensagem8"}
                                                                          : QStringList{"FRmensagem6"};
        QCOMPARE(answerer.names(), asked);
        QCOMPARE(rowCount(dm(), QStringLiteral("CLIENTES")), left);
        QCOMPARE(screens().FRcadastro->DBEdit2->text(), shown);
        QCOMPARE(openWindows(), QStringList{QStringLiteral("FRcadastro")});
        QCOMPARE(visibleToolbar(screens().FRcadastro.get()), (QStringList{"BTnovo", "BTalterar", "BTexcluir", "BTconsultar"}));
    }

    void deleteOfARowLockedElsewhereKeepsTheQuestionOpen()
    {
        addClient(dm(), QStringLiteral("ANA"));
        showRegistry();
        Module other(m_program->databasePath());
        other.dm.Clientes.open();
        other.dm.Clientes.edit();
        other.dm.Clientes.fieldByName(QStringLiteral("OBS")).setValue(QStringLiteral("em uso"));
        other.dm.Clientes.post();

        bool stillAsked = false;
        ModalAnswerer answerer;
        answerer.then([&](QWidget *question) {
            QTest::mouseClick(child(question, QStringLiteral("FlatButton1")), Qt::LeftButton);
            stillAsked = question->isVisible() && !errordisplay::lastError().isEmpty();
            QTest::mouseClick(child(question, QStringLiteral("FlatButton2")), Qt::LeftButton);
        });
        QTest::mouseClick(screens().FRcadastro->BTexcluir, Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem6")});
        QVERIFY2(stillAsked, qPrintable(errordisplay::lastError()));
        QVERIFY(errordisplay::lastError().contains(QStringLiteral("update conflicts")));
        QCOMPARE(openWindows(), QStringList{QStringLiteral("FRcadastro")});
        QCOMPARE(screens().FRcadastro->DBEdit2->text(), QStringLiteral("ANA"));
        QCOMPARE(rowCount(dm(), QStringLiteral("CLIENTES")), 1);
    }

    void deleteOnAnEmptyListDoesNothing()
    {
        showRegistry();
        ModalAnswerer answerer;
        QTest::mouseClick(screens().FRcadastro->BTexcluir, Qt::LeftButton);
        QCOMPARE(answerer.names(), QStringList());
        QCOMPARE(errordisplay::lastError(), QString());
    }
};

QTEST_MAIN(TstClients)
#include "tst_clients.moc"
