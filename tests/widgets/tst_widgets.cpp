#include "common/ScreenTesting.h"
#include "common/TempDatabase.h"

#include "data/DatabaseError.h"
#include "widgets/DBEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"
#include "widgets/RecordEditor.h"
#include "widgets/TitlePanel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <optional>

namespace {

// A record editor over Clientes with an entry control per column used here.
struct ClientForm
{
    RecordEditor form{QStringLiteral("FRteste"), QStringLiteral("  Teste")};
    QHash<QString, DBEdit *> entries;

    explicit ClientForm(Dataset &clientes)
    {
        auto *layout = new QVBoxLayout(form.body());
        for (const char *column : {"CLIENTE", "CPF", "CNPJ", "CEP", "DATANASCIMENTO", "EMAIL", "OBS"}) {
            auto *entry = new DBEdit(QStringLiteral("DB%1").arg(QLatin1String(column)), form.body());
            entry->setDataField(&clientes, QLatin1String(column));
            layout->addWidget(entry);
            entries.insert(QLatin1String(column), entry);
        }
        entries.value(QStringLiteral("CLIENTE"))->setCharCase(DBEdit::CharCase::Upper);
        entries.value(QStringLiteral("EMAIL"))->setCharCase(DBEdit::CharCase::Lower);
        form.show();
    }
    DBEdit *entry(const QString &column) const { return entries.value(column); }
};

// A fresh database with an unsaved new client on a shown client form.
struct NewClient
{
    TempDatabase db;
    Module m{db.path()};
    std::optional<ClientForm> screen;

    NewClient()
    {
        m.dm.Clientes.open();
        m.dm.Clientes.insert();
        screen.emplace(m.dm.Clientes);
    }
};

// A form that counts its show and close handlers; its show may fail.
class CountingForm : public FormBase
{
public:
    int shows = 0;
    int closes = 0;
    bool failShow = false;
    CountingForm() : FormBase(QStringLiteral("FRcontagem"), QStringLiteral("  Contagem")) {}

protected:
    void FormShow() override
    {
        ++shows;
        if (failShow)
            throw DatabaseError(QStringLiteral("sem banco"));
    }
    void FormClose() override { ++closes; }
};

} // namespace

class TstWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareScreenTests(); }
    void init() { errordisplay::clearLastError(); }

    void maskedEntryStoresOrRefuses_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("refused");
        const QVariant null;
        QTest::newRow("cpf") << "CPF" << "12345678901" << QVariant("123.456.789-01") << false;
        QTest::newRow("cpf short") << "CPF" << "1234567890" << null << true;
        QTest::newRow("cnpj digits") << "CNPJ" << "12345678000190" << QVariant("12.345.678/0001-90") << false;
        QTest::newRow("cnpj letters upper-cased") << "CNPJ" << "12abc34501de35" << QVariant("12.ABC.345/01DE-35") << false;
        QTest::newRow("cnpj letter as check digit") << "CNPJ" << "12ABC34501DE3X" << null << true;
        QTest::newRow("cep full") << "CEP" << "12345678" << QVariant("12345-678") << false;
        QTest::newRow("cep optional digits left out") << "CEP" << "12345" << QVariant("12345-") << false;
        QTest::newRow("cep short") << "CEP" << "1234" << null << true;
        QTest::newRow("cpf refuses letters") << "CPF" << "1234567890a" << null << true;
        QTest::newRow("birth date") << "DATANASCIMENTO" << "15031990" << QVariant(QDate(1990, 3, 15)) << false;
        QTest::newRow("birth date without year") << "DATANASCIMENTO" << "1503" << null << true;
        QTest::newRow("untouched") << "CPF" << "" << null << false;
    }
    void maskedEntryStoresOrRefuses()
    {
        QFETCH(QString, column);
        QFETCH(QString, keys);
        QFETCH(QVariant, stored);
        QFETCH(bool, refused);
        NewClient c;
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        DBEdit *entry = c.screen->entry(column);
        typeInto(entry, keys);
        QTest::keyClick(entry, Qt::Key_Return);

        QCOMPARE(errordisplay::lastError(), refused ? DBEdit::invalidInputText() : QString());
        QCOMPARE(entry->hasFocus(), refused);
        QCOMPARE(c.m.dm.Clientes.fieldByName(column).value(), stored);
    }

    void escapeRestoresThePreviousValue()
    {
        NewClient c;
        c.m.dm.Clientes.fieldByName(QStringLiteral("CPF")).setValue(QStringLiteral("111.222.333-44"));
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        DBEdit *cpf = c.screen->entry(QStringLiteral("CPF"));
        typeInto(cpf, QStringLiteral("999"));
        QTest::keyClick(cpf, Qt::Key_Return);
        QCOMPARE(errordisplay::lastError(), DBEdit::invalidInputText());
        QVERIFY(cpf->hasFocus());

        QTest::keyClick(cpf, Qt::Key_Escape);
        QCOMPARE(cpf->text(), QStringLiteral("111.222.333-44"));
        QVERIFY(c.screen->form.isVisible());
        errordisplay::clearLastError();
        QTest::keyClick(cpf, Qt::Key_Return);
        QVERIFY(errordisplay::lastError().isEmpty());
        QVERIFY(c.screen->entry(QStringLiteral("CNPJ"))->hasFocus());
        QCOMPARE(c.m.dm.Clientes.fieldByName(QStringLiteral("CPF")).asString(), QStringLiteral("111.222.333-44"));
    }

    void caseIsConvertedAsLettersAreTyped_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::newRow("upper") << "CLIENTE" << QString::fromUtf8("joão da silva 2") << QString::fromUtf8("JOÃO DA SILVA 2");
        QTest::newRow("lower") << "EMAIL" << "Fulano@Exemplo.COM" << "fulano@exemplo.com";
        QTest::newRow("as typed") << "OBS" << "Pago Em Dia" << "Pago Em Dia";
    }
    void caseIsConvertedAsLettersAreTyped()
    {
        QFETCH(QString, column);
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        NewClient c;
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        typeInto(c.screen->entry(column), keys);
        QCOMPARE(c.screen->entry(column)->text(), stored);
        // The focus is still in the entry: a save takes the typed text all the same.
        c.screen->form.postAndCommit(c.m.dm.Clientes, c.m.dm.Tra);
        QCOMPARE(c.m.dm.Clientes.fieldByName(column).asString(), stored);
        QVERIFY(c.m.dm.Clientes.fieldByName(QStringLiteral("ID_CLIENTE")).asInteger() > 0);
    }

    void pastedAndComposedTextFollowsTheCase_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("upper, pasted") << "CLIENTE" << true << "maria colada silva" << "MARIA COLADA SILVA";
        QTest::newRow("upper, composed") << "CLIENTE" << false << QString::fromUtf8("josé") << QString::fromUtf8("JOSÉ");
        QTest::newRow("lower, pasted") << "EMAIL" << true << "Fulano@Exemplo.COM" << "fulano@exemplo.com";
        QTest::newRow("as given, pasted") << "OBS" << true << "Pago Em Dia" << "Pago Em Dia";
    }
    void pastedAndComposedTextFollowsTheCase()
    {
        QFETCH(QString, column);
        QFETCH(bool, pasted);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        NewClient c;
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        DBEdit *entry = c.screen->entry(column);
        if (pasted)
            pasteInto(entry, text);
        else
            composeInto(entry, text);
        QCOMPARE(entry->text(), stored);
        c.screen->form.postAndCommit(c.m.dm.Clientes, c.m.dm.Tra);
        QCOMPARE(c.m.dm.Clientes.fieldByName(column).asString(), stored);
    }

    void erasedMaskedEntryIsNull_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("before");
        QTest::newRow("cpf") << "CPF" << QVariant("111.222.333-44");
        QTest::newRow("cnpj") << "CNPJ" << QVariant("11.222.333/0001-44");
        QTest::newRow("cep") << "CEP" << QVariant("12345-678");
        QTest::newRow("birth date") << "DATANASCIMENTO" << QVariant(QDate(1990, 3, 15));
    }
    void erasedMaskedEntryIsNull()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, before);
        NewClient c;
        c.m.dm.Clientes.fieldByName(column).setValue(before);
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        DBEdit *entry = c.screen->entry(column);
        entry->setFocus(Qt::TabFocusReason);
        entry->selectAll();
        QTest::keyClick(entry, Qt::Key_Delete);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(errordisplay::lastError(), QString());
        QVERIFY(c.m.dm.Clientes.fieldByName(column).isNull());
    }

    void amountShowsWithTheLocaleSeparators_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("shown");
        QTest::newRow("decimal comma") << "1234,5" << qint64(123450) << "1.234,50";
        QTest::newRow("grouped as typed") << "1.000.000,99" << qint64(100000099) << "1.000.000,99";
        QTest::newRow("whole") << "7" << qint64(700) << "7,00";
        QTest::newRow("below one") << ",05" << qint64(5) << "0,05";
    }
    void amountShowsWithTheLocaleSeparators()
    {
        QFETCH(QString, keys);
        QFETCH(qint64, cents);
        QFETCH(QString, shown);
        TempDatabase db;
        Module m(db.path());
        m.dm.Recibos.open();
        m.dm.Recibos.insert();
        RecordEditor form(QStringLiteral("FRteste"), QStringLiteral("  Teste"));
        auto *layout = new QVBoxLayout(form.body());
        auto *valor = new DBEdit(QStringLiteral("DBvalor"), form.body());
        auto *next = new QLineEdit(form.body());
        layout->addWidget(valor);
        layout->addWidget(next);
        valor->setDataField(&m.dm.Recibos, QStringLiteral("VALOR"));
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QSignalSpy exits(valor, &DBEdit::exited);
        typeInto(valor, keys);
        QTest::keyClick(valor, Qt::Key_Tab);
        QCOMPARE(exits.count(), 1);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("VALOR")).asNumeric(), (Numeric{cents, -2}));
        QCOMPARE(valor->text(), shown);
    }

    void enterMovesToTheNextEnabledControl_data()
    {
        QTest::addColumn<QList<int>>("disabled");
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("visits");
        QTest::newRow("in order") << QList<int>{} << 0 << QList<int>{1, 2, 3, 0};
        QTest::newRow("skips disabled") << QList<int>{1, 2} << 0 << QList<int>{3, 0, 3};
        QTest::newRow("wraps from last") << QList<int>{0} << 3 << QList<int>{1, 2, 3, 1};
    }
    void enterMovesToTheNextEnabledControl()
    {
        QFETCH(QList<int>, disabled);
        QFETCH(int, start);
        QFETCH(QList<int>, visits);
        RecordEditor form(QStringLiteral("FRteste"), QStringLiteral("  Teste"));
        auto *layout = new QVBoxLayout(form.body());
        QList<QLineEdit *> entries;
        for (int i = 0; i < 4; ++i) {
            entries << new QLineEdit(form.body());
            layout->addWidget(entries.last());
            entries.last()->setEnabled(!disabled.contains(i));
        }
        QSignalSpy returns(entries.at(start), &QLineEdit::returnPressed);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        entries.at(start)->setFocus();
        for (int expected : visits) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), entries.at(expected));
        }
        QCOMPARE(returns.count(), 0);
    }

    void restauraInverts_data()
    {
        QTest::addColumn<bool>("disableSecondInEditState");
        QTest::addColumn<bool>("secondAfterwards");
        QTest::newRow("plain round trip") << false << false;
        QTest::newRow("screen rule inverted too") << true << true;
    }
    void restauraInverts()
    {
        QFETCH(bool, disableSecondInEditState);
        QFETCH(bool, secondAfterwards);
        RecordEditor form(QStringLiteral("FRteste"), QStringLiteral("  Teste"));
        QLineEdit first(form.body()), second(form.body());
        form.setRestauraList({&first, &second});
        form.setBrowseState();
        QVERIFY(!first.isEnabled() && !second.isEnabled());

        form.restaura();
        QVERIFY(first.isEnabled() && second.isEnabled());
        QVERIFY(form.BTnovo->isHidden() && form.BTalterar->isHidden() && form.BTexcluir->isHidden()
                && form.BTconsultar->isHidden());
        QVERIFY(!form.BTsalvar->isHidden() && !form.BTcancelar->isHidden());
        if (disableSecondInEditState)
            second.setEnabled(false);

        form.restaura();
        QVERIFY(!first.isEnabled());
        QCOMPARE(second.isEnabled(), secondAfterwards);
        QVERIFY(!form.BTnovo->isHidden() && !form.BTconsultar->isHidden());
        QVERIFY(form.BTsalvar->isHidden() && form.BTcancelar->isHidden());
    }

    void toolbarPicturesKeepTheirSlots()
    {
        RecordEditor form(QStringLiteral("FRteste"), QStringLiteral("  Teste"));
        form.show();
        const QList<PictureButton *> order{form.BTnovo, form.BTalterar, form.BTexcluir, form.BTconsultar, form.BTsalvar,
                                           form.BTcancelar};
        const QStringList hints{"Novo Cadastro", "Editar Cadastro", "Excluir Cadastro", "Localizar Cadastro",
                                "Salvar Cadastro", "Cancelar Cadastro"};
        QList<int> browseX;
        for (int i = 0; i < order.size(); ++i) {
            QCOMPARE(order.at(i)->toolTip(), hints.at(i));
            QCOMPARE(order.at(i)->focusPolicy(), Qt::NoFocus);
            if (i > 0)
                QVERIFY(order.at(i)->x() > order.at(i - 1)->x());
            browseX << order.at(i)->x();
        }
        form.restaura();
        QCoreApplication::processEvents();
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(order.at(i)->x(), browseX.at(i));

        RecordEditor reduced(QStringLiteral("FRreduzido"), QStringLiteral("  Teste"), RecordEditor::Toolbar::EditOnly);
        reduced.show();
        QVERIFY(!reduced.BTnovo && !reduced.BTexcluir && !reduced.BTconsultar);
        QCOMPARE(reduced.BTalterar->x(), browseX.at(3));
        QCOMPARE(reduced.BTcancelar->x(), browseX.at(5));
    }

    void focusedEntryIsSilver()
    {
        NewClient c;
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        DBEdit *name = c.screen->entry(QStringLiteral("CLIENTE"));
        DBEdit *cpf = c.screen->entry(QStringLiteral("CPF"));
        const auto background = [](QWidget *entry) {
            return entry->grab().toImage().pixelColor(entry->width() - 6, entry->height() / 2);
        };
        name->setFocus();
        QCOMPARE(background(name), FormBase::focusColour());
        QVERIFY(background(cpf) != FormBase::focusColour());
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(background(cpf), FormBase::focusColour());
        QVERIFY(background(name) != FormBase::focusColour());
    }

    void showAndCloseHandlersRunEveryTime_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("failShow");
        QTest::newRow("close picture") << "picture" << false;
        QTest::newRow("reject") << "reject" << false;
        QTest::newRow("accept") << "accept" << false;
        QTest::newRow("failed show") << "picture" << true;
    }
    void showAndCloseHandlersRunEveryTime()
    {
        QFETCH(QString, how);
        QFETCH(bool, failShow);
        CountingForm form;
        form.failShow = failShow;
        QCOMPARE(form.titlePanel()->objectName(), QStringLiteral("FlatPanel1"));
        QCOMPARE(form.titlePanel()->caption(), QStringLiteral("  Contagem"));
        QCOMPARE(form.titlePanel()->closeButton()->toolTip(), QStringLiteral("Fechar"));
        for (int round = 1; round <= 2; ++round) {
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(&form, Qt::Key_Escape);
            QVERIFY(form.isVisible());
            QCOMPARE(errordisplay::lastError(), failShow ? QStringLiteral("sem banco") : QString());
            if (how == QLatin1String("picture"))
                QTest::mouseClick(form.findChild<PictureButton *>(QStringLiteral("Image1")), Qt::LeftButton);
            else if (how == QLatin1String("reject"))
                form.reject();
            else
                form.accept();
            QVERIFY(!form.isVisible());
            QCOMPARE(form.result(), how == QLatin1String("accept") ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(form.shows, round);
            QCOMPARE(form.closes, round);
        }
    }

    void entryFollowsTheDataset()
    {
        TempDatabase db;
        Module m(db.path());
        addCliente(m.dm, QStringLiteral("ANA"));
        addCliente(m.dm, QStringLiteral("BIA"));
        m.dm.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")});
        ClientForm screen(m.dm.Clientes);
        DBEdit *name = screen.entry(QStringLiteral("CLIENTE"));
        QCOMPARE(name->text(), QStringLiteral("ANA"));
        QVERIFY(name->isReadOnly());
        m.dm.Clientes.next();
        QCOMPARE(name->text(), QStringLiteral("BIA"));
        m.dm.Clientes.edit();
        QVERIFY(!name->isReadOnly());
        m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("BEA"));
        QCOMPARE(name->text(), QStringLiteral("BEA"));
        m.dm.Clientes.cancel();
        QCOMPARE(name->text(), QStringLiteral("BIA"));
        m.dm.Clientes.close();
        QCOMPARE(name->text(), QString());
    }

    void saveRefusesAnIncompleteFocusedEntry()
    {
        NewClient c;
        QVERIFY(QTest::qWaitForWindowActive(&c.screen->form));
        typeInto(c.screen->entry(QStringLiteral("CEP")), QStringLiteral("12"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, c.screen->form.postAndCommit(c.m.dm.Clientes, c.m.dm.Tra));
        QCOMPARE(c.m.dm.Clientes.state(), Dataset::State::Insert);
    }
};

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
