#include "ScreenFixture.h"

#include "common/ModalAnswerer.h"
#include "common/ScreenTesting.h"

#include "clients/FRcadastro.h"
#include "receipts/Extens.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRrecibo.h"
#include "reportengine/PreviewWindow.h"
#include "widgets/DBEdit.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"
#include "widgets/TitlePanel.h"

#include <QTableView>
#include <QTest>

namespace {

QString valueOf(Dataset &dataset, const char *column)
{
    return dataset.fieldByName(QLatin1String(column)).asString();
}

// The stored row of one receipt, read again from the database.
QVariantMap storedRecibo(DataModule &dm, int id)
{
    std::unique_ptr<Cursor> cursor = dm.Base.prepared(QStringLiteral(
        "SELECT TIPO, EMITENTE, CLIENTE, CPFCNPJCLIENTE, LOCAL, DATA, DATARECIBO, VALOR, VALOREXTENSO, CPFCNPJEMITENTE "
        "FROM RECIBOS WHERE ID_RECIBO = ?")).openCursor(dm.Tra, {id});
    Row row;
    QVariantMap values;
    if (!cursor->fetch(row))
        return values;
    const QStringList names{"TIPO",       "EMITENTE", "CLIENTE", "CPFCNPJCLIENTE", "LOCAL",
                            "DATA",       "DATARECIBO", "VALOR", "VALOREXTENSO",   "CPFCNPJEMITENTE"};
    for (int i = 0; i < names.size(); ++i)
        values.insert(names.at(i), row.at(i));
    return values;
}

// Every column of one receipt as stored.
Row storedRow(DataModule &dm, int id)
{
    return dm.Base.prepared(QStringLiteral("SELECT * FROM RECIBOS WHERE ID_RECIBO = ?")).execute(dm.Tra, {id});
}

// A double click on the first row of a lookup screen's grid.
void chooseFirstRow(QWidget *lookup)
{
    auto *grid = lookup->findChild<QTableView *>(QStringLiteral("DBGrid1"));
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class TstFRrecibo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        errordisplay::setPresenter([this](const QString &text) { m_errors << text; });
        setRangeMessageSink([this](const QString &text) { m_rangeMessages << text; });
    }
    void init()
    {
        m_errors.clear();
        m_rangeMessages.clear();
        m_fx = std::make_unique<ScreenFixture>();
    }
    void cleanup() { m_fx.reset(); }

    void showStartsOnTheNewestReceiptInBrowseState();
    void newCopiesTheIssuer_data();
    void newCopiesTheIssuer();
    void kindLabelFollowsLeavingTheCombo_data();
    void kindLabelFollowsLeavingTheCombo();
    void nameCompletion_data();
    void nameCompletion();
    void amountFieldWritesWords_data();
    void amountFieldWritesWords();
    void dateField_data();
    void dateField();
    void saveBringsDerivedTextsUpToDate_data();
    void saveBringsDerivedTextsUpToDate();
    void typedDocumentIsFormattedAndSaved_data();
    void typedDocumentIsFormattedAndSaved();
    void cancelAfterNewLandsOnTheOldest();
    void deleteAsksAndDeletes_data();
    void deleteAsksAndDeletes();
    void selectFromRegisterInBrowseState_data();
    void selectFromRegisterInBrowseState();
    void closingAsksBeforeTypingIsThrownAway_data();
    void closingAsksBeforeTypingIsThrownAway();
    void findShowsTheChosenReceipt();
    void enterMovesOnFromTheLastField();
    void characterMessagesNameTheLabel_data();
    void characterMessagesNameTheLabel();
    void printTilesPreviewTheShownReceipt_data();
    void printTilesPreviewTheShownReceipt();

private:
    FRreciboForm &openEditor() { return m_fx->shownRecibo(); }
    static bool tilesVisible(FRreciboForm &form)
    {
        const QList<QWidget *> tiles{form.Image2, form.Image3, form.Shape1, form.Shape2,
                                     form.Label4, form.Label5, form.Label6, form.Label8};
        int visible = 0;
        for (QWidget *tile : tiles)
            visible += tile->isVisible() ? 1 : 0;
        if (visible != 0 && visible != tiles.size())
            qFatal("Only some print tiles are visible");
        return visible == tiles.size();
    }
    static bool editState(FRreciboForm &form)
    {
        return !form.BTsalvar->isHidden() && !form.BTcancelar->isHidden() && form.BTnovo->isHidden()
            && form.BTalterar->isHidden() && form.BTexcluir->isHidden() && form.BTconsultar->isHidden()
            && form.DBvalor->isEnabled() && !tilesVisible(form);
    }
    static bool browseState(FRreciboForm &form)
    {
        return form.BTsalvar->isHidden() && form.BTcancelar->isHidden() && !form.BTnovo->isHidden()
            && !form.BTalterar->isHidden() && !form.BTexcluir->isHidden() && !form.BTconsultar->isHidden()
            && !form.DBvalor->isEnabled() && !form.DBtipo->isEnabled() && tilesVisible(form);
    }
    void typeInto(QWidget *control, const QString &text)
    {
        control->setFocus();
        QTest::keyClicks(control, text);
    }

    std::unique_ptr<ScreenFixture> m_fx;
    QStringList m_errors;
    QStringList m_rangeMessages;
};

void TstFRrecibo::showStartsOnTheNewestReceiptInBrowseState()
{
    addRecibo(m_fx->dm(), QStringLiteral("PRIMEIRO"));
    const int newest = addRecibo(m_fx->dm(), QStringLiteral("SEGUNDO"));
    FRreciboForm &form = openEditor();
    QVERIFY(browseState(form));
    QCOMPARE(form.DBEdit1->text(), QString::number(newest));
    QCOMPARE(form.DBemitente->text(), QStringLiteral("SEGUNDO"));
    QCOMPARE(form.Lrecebi->text(), QStringLiteral("Paguei à"));
    QVERIFY(form.DBcliente->isHidden() && form.DBvalorextenso->isHidden() && form.DBdatarecibo->isHidden());

    // Left in the edit state, shown again: browse state, pending row gone.
    clickNamed(&form, QStringLiteral("BTnovo"));
    QVERIFY(editState(form));
    clickNamed(&form, QStringLiteral("BTsair"));
    openEditor();
    QVERIFY(browseState(form));
    QCOMPARE(form.DBEdit1->text(), QString::number(newest));
    QCOMPARE(rowCount(m_fx->dm(), QStringLiteral("RECIBOS")), 2);
}

void TstFRrecibo::newCopiesTheIssuer_data()
{
    QTest::addColumn<bool>("withIssuer");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("cliente");
    QTest::addColumn<QString>("documento");
    QTest::newRow("issuer row") << true << "Olinda" << "ACME LTDA" << "12.345.678/0001-99";
    QTest::newRow("empty issuer table") << false << "" << "" << "";
}

void TstFRrecibo::newCopiesTheIssuer()
{
    QFETCH(bool, withIssuer);
    if (withIssuer)
        saveIssuer(m_fx->dm(), QStringLiteral("ACME LTDA"), QStringLiteral("12.345.678/0001-99"), QStringLiteral("Olinda"));
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    QVERIFY(editState(form));
    QVERIFY(form.DBtipo->hasFocus());
    Dataset &recibos = m_fx->dm().Recibos;
    QCOMPARE(recibos.state(), Dataset::State::Insert);
    QTEST(valueOf(recibos, "LOCAL"), "local");
    QTEST(valueOf(recibos, "CLIENTE"), "cliente");
    QTEST(valueOf(recibos, "CPFCNPJCLIENTE"), "documento");
    QCOMPARE(valueOf(recibos, "TIPO"), QStringLiteral("RECEBIMENTO"));
    QCOMPARE(form.DBtipo->currentText(), QStringLiteral("RECEBIMENTO"));
    QCOMPARE(recibos.fieldByName(QStringLiteral("DATA")).asDate(), ScreenFixture::kToday);
    QCOMPARE(form.DBdata->text(), QStringLiteral("05/03/2024"));
    for (const char *empty : {"EMITENTE", "CPFCNPJEMITENTE", "REFERENTE", "OBS", "VALOR", "VALOREXTENSO", "DATARECIBO", "ID_RECIBO"})
        QVERIFY2(recibos.fieldByName(QLatin1String(empty)).isNull(), empty);
}

void TstFRrecibo::kindLabelFollowsLeavingTheCombo_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("label");
    QTest::newRow("payment") << "PAGAMENTO" << "Paquei à";
    QTest::newRow("receipt") << "RECEBIMENTO" << "Recebi de";
}

void TstFRrecibo::kindLabelFollowsLeavingTheCombo()
{
    QFETCH(QString, kind);
    QFETCH(QString, label);
    const QString other = kind == QLatin1String("PAGAMENTO") ? QStringLiteral("RECEBIMENTO") : QStringLiteral("PAGAMENTO");
    addRecibo(m_fx->dm(), QStringLiteral("ANTIGO"), other);
    addRecibo(m_fx->dm(), QStringLiteral("NOVO"), other);
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTalterar"));
    QVERIFY(form.DBtipo->hasFocus());
    QTest::keyClicks(form.DBtipo, kind.left(1));
    QTest::keyClick(form.DBtipo, Qt::Key_Tab);
    QCOMPARE(form.Lrecebi->text(), label);
    QCOMPARE(valueOf(m_fx->dm().Recibos, "TIPO"), kind);

    // Another receipt, New and Cancel leave the label alone.
    clickNamed(&form, QStringLiteral("BTcancelar"));
    QCOMPARE(form.DBemitente->text(), QStringLiteral("ANTIGO"));
    clickNamed(&form, QStringLiteral("BTnovo"));
    clickNamed(&form, QStringLiteral("BTcancelar"));
    QCOMPARE(form.Lrecebi->text(), label);
}

void TstFRrecibo::nameCompletion_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::newRow("saved receipt, one letter") << true << "j" << "JOANA D'ARC" << "OANA D'ARC";
    QTest::newRow("saved receipt, apostrophe") << true << "joana d'" << "JOANA D'ARC" << "ARC";
    QTest::newRow("saved receipt, underscore literal") << true << "m_" << "M_" << "";
    QTest::newRow("saved receipt, no match") << true << "x" << "X" << "";
    QTest::newRow("new receipt never completes") << false << "j" << "J" << "";
}

void TstFRrecibo::nameCompletion()
{
    QFETCH(bool, saved);
    QFETCH(QString, typed);
    addCliente(m_fx->dm(), QStringLiteral("MARIA"));
    addCliente(m_fx->dm(), QStringLiteral("JOANA D'ARC"));
    addCliente(m_fx->dm(), QStringLiteral("JOSÉ"));
    addRecibo(m_fx->dm(), QStringLiteral("ALGUÉM"));
    FRreciboForm &form = openEditor();
    clickNamed(&form, saved ? QStringLiteral("BTalterar") : QStringLiteral("BTnovo"));
    form.DBemitente->setFocus();
    form.DBemitente->selectAll();
    QTest::keyClicks(form.DBemitente, typed);
    QTEST(form.DBemitente->text(), "text");
    QTEST(form.DBemitente->selectedText(), "selected");

    // The completed name is the field's value like a typed one.
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QTEST(valueOf(m_fx->dm().Recibos, "EMITENTE"), "text");
    QVERIFY(m_errors.isEmpty());
}

void TstFRrecibo::amountFieldWritesWords_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("messages");
    QTest::newRow("in range") << "1234,56" << "1.234,56"
                              << "Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos." << 0;
    QTest::newRow("out of range") << "1000000,00" << "1.000.000,00" << "" << 1;
    QTest::newRow("letters ignored") << "12a,5x0" << "12,50" << "Doze Reais, e Cinqüenta Centavos." << 0;
}

void TstFRrecibo::amountFieldWritesWords()
{
    QFETCH(QString, typed);
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    typeInto(form.DBvalor, typed);
    QTest::keyClick(form.DBvalor, Qt::Key_Tab);
    QTEST(form.DBvalor->text(), "shown");
    Dataset &recibos = m_fx->dm().Recibos;
    QTEST(valueOf(recibos, "VALOREXTENSO"), "words");
    QTEST(int(m_rangeMessages.size()), "messages");

    // The row can be saved; the range message is not shown again.
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem12")});
    QTEST(int(m_rangeMessages.size()), "messages");
    const QVariantMap stored = storedRecibo(m_fx->dm(), recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger());
    QTEST(stored.value(QStringLiteral("VALOREXTENSO")).toString(), "words");
}

void TstFRrecibo::dateField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("longDate");
    QTest::addColumn<QString>("error");
    QTest::newRow("valid") << "05032024" << "05 de março de 2024" << "";
    QTest::newRow("last of year") << "31122025" << "31 de dezembro de 2025" << "";
    QTest::newRow("does not exist") << "31022024" << "" << "'31/02/2024' is not a valid date";
    QTest::newRow("does not fill the mask") << "0503" << "" << "Invalid input value.  Use escape key to abandon changes";
}

void TstFRrecibo::dateField()
{
    QFETCH(QString, typed);
    QFETCH(QString, error);
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    form.DBdata->setFocus();
    form.DBdata->selectAll();
    QTest::keyClick(form.DBdata, Qt::Key_Delete);
    form.DBdata->setCursorPosition(0);
    QTest::keyClicks(form.DBdata, typed);
    QTest::keyClick(form.DBdata, Qt::Key_Tab);
    QTEST(valueOf(m_fx->dm().Recibos, "DATARECIBO"), "longDate");
    QCOMPARE(m_errors, error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(form.DBdata->hasFocus(), !error.isEmpty());
}

void TstFRrecibo::saveBringsDerivedTextsUpToDate_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("messages");
    QTest::newRow("nothing typed") << "" << "" << 0;
    QTest::newRow("amount still focused") << "21,45" << "Vinte e Um Reais, e Quarenta e Cinco Centavos." << 0;
    QTest::newRow("out of range still focused") << "-5,00" << "" << 0;
}

void TstFRrecibo::saveBringsDerivedTextsUpToDate()
{
    QFETCH(QString, amount);
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    if (!amount.isEmpty())
        typeInto(form.DBvalor, amount);
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem12")});
    QVERIFY(answerer.seen().constFirst().texts.contains(QStringLiteral("Recibo Gravado !!!")));
    QVERIFY(browseState(form));
    QVERIFY(m_errors.isEmpty());
    Dataset &recibos = m_fx->dm().Recibos;
    const int id = recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger();
    QVERIFY(id > 0);
    QCOMPARE(recibos.state(), Dataset::State::Browse);
    QCOMPARE(form.DBEdit1->text(), QString::number(id));
    const QVariantMap stored = storedRecibo(m_fx->dm(), id);
    QCOMPARE(stored.value(QStringLiteral("DATARECIBO")).toString(), QStringLiteral("05 de março de 2024"));
    QCOMPARE(stored.value(QStringLiteral("TIPO")).toString(), QStringLiteral("RECEBIMENTO"));
    QTEST(stored.value(QStringLiteral("VALOREXTENSO")).toString(), "words");
    QTEST(int(m_rangeMessages.size()), "messages");
}

void TstFRrecibo::typedDocumentIsFormattedAndSaved_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("cpf digits") << "12345678901" << "123.456.789-01";
    QTest::newRow("cnpj half punctuated") << "12.345.678/000199" << "12.345.678/0001-99";
    QTest::newRow("wrong length kept, unpunctuated") << "123.45" << "12345";
}

void TstFRrecibo::typedDocumentIsFormattedAndSaved()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    FRreciboForm &form = openEditor();
    QVERIFY(form.DBcpfcnpjemitente->isVisible());
    QVERIFY(!form.DBcpfcnpjemitente->isEnabled());
    clickNamed(&form, QStringLiteral("BTnovo"));
    typeInto(form.DBemitente, QStringLiteral("FULANO"));
    QTest::keyClick(form.DBemitente, Qt::Key_Return);
    QVERIFY(form.DBcpfcnpjemitente->hasFocus());
    typeKeys(form.DBcpfcnpjemitente, typed);
    QTest::keyClick(form.DBcpfcnpjemitente, Qt::Key_Return);
    QCOMPARE(form.DBcpfcnpjemitente->text(), shown);
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QVERIFY(m_errors.isEmpty());
    const int id = m_fx->dm().Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger();
    QCOMPARE(storedRecibo(m_fx->dm(), id).value(QStringLiteral("CPFCNPJEMITENTE")).toString(), shown);
    QVERIFY(!form.DBcpfcnpjemitente->isEnabled());
}

void TstFRrecibo::cancelAfterNewLandsOnTheOldest()
{
    const int oldest = addRecibo(m_fx->dm(), QStringLiteral("VELHO"));
    addRecibo(m_fx->dm(), QStringLiteral("MEIO"));
    addRecibo(m_fx->dm(), QStringLiteral("NOVO"));
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    typeInto(form.DBemitente, QStringLiteral("descartado"));
    clickNamed(&form, QStringLiteral("BTcancelar"));
    QVERIFY(browseState(form));
    QCOMPARE(form.DBEdit1->text(), QString::number(oldest));
    QCOMPARE(form.DBemitente->text(), QStringLiteral("VELHO"));
    QCOMPARE(rowCount(m_fx->dm(), QStringLiteral("RECIBOS")), 3);
}

void TstFRrecibo::deleteAsksAndDeletes_data()
{
    QTest::addColumn<int>("receipts");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<int>("left");
    QTest::newRow("no receipts") << 0 << "" << QStringList{} << 0;
    QTest::newRow("yes") << 2 << "Sim" << QStringList{"FRmensagem10", "FRmensagem8"} << 1;
    QTest::newRow("no") << 2 << "Não" << QStringList{"FRmensagem10"} << 2;
}

void TstFRrecibo::deleteAsksAndDeletes()
{
    QFETCH(int, receipts);
    QFETCH(QString, answer);
    for (int i = 1; i <= receipts; ++i)
        addRecibo(m_fx->dm(), QStringLiteral("PAGADOR %1").arg(i));
    FRreciboForm &form = openEditor();
    ModalAnswerer answerer;
    if (!answer.isEmpty())
        answerer.thenClick(answer);
    clickNamed(&form, QStringLiteral("BTexcluir"));
    QTEST(answerer.names(), "dialogs");
    QVERIFY(QApplication::activeModalWidget() == nullptr || QApplication::activeModalWidget() == &form);
    QVERIFY(browseState(form));
    QTEST(rowCount(m_fx->dm(), QStringLiteral("RECIBOS")), "left");
    QVERIFY(m_errors.isEmpty());
}

void TstFRrecibo::selectFromRegisterInBrowseState_data()
{
    QTest::addColumn<bool>("choose");
    QTest::newRow("client chosen") << true;
    QTest::newRow("lookup closed") << false;
}

void TstFRrecibo::selectFromRegisterInBrowseState()
{
    QFETCH(bool, choose);
    const int cliente = addCliente(m_fx->dm(), QStringLiteral("EMPRESA X"));
    Dataset &clientes = m_fx->dm().Clientes;
    QVERIFY(clientes.locate(QStringLiteral("ID_CLIENTE"), cliente));
    clientes.edit();
    clientes.fieldByName(QStringLiteral("CLASSIFICACAO")).setValue(QStringLiteral("JURÍDICA"));
    clientes.fieldByName(QStringLiteral("CNPJ")).setValue(QStringLiteral("11.222.333/0001-44"));
    clientes.post();
    m_fx->dm().Tra.commitRetaining();
    const int id = addRecibo(m_fx->dm(), QStringLiteral("ANTES"));
    const Row before = storedRow(m_fx->dm(), id);

    FRreciboForm &form = openEditor();
    ModalAnswerer answerer;
    answerer.then([choose](QWidget *window) {
        if (choose)
            chooseFirstRow(window);
        else
            clickNamed(window, QStringLiteral("Image1"));
    });
    clickNamed(&form, QStringLiteral("Panel1"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultacli2")});
    // The pick is an edit, and the screen says so.
    QVERIFY(editState(form));
    Dataset &recibos = m_fx->dm().Recibos;
    QCOMPARE(recibos.state(), Dataset::State::Edit);
    QCOMPARE(form.DBemitente->text(), choose ? QStringLiteral("EMPRESA X") : QStringLiteral("ANTES"));
    QCOMPARE(valueOf(recibos, "CPFCNPJEMITENTE"), choose ? QStringLiteral("11.222.333/0001-44") : QString());

    clickNamed(&form, QStringLiteral("BTcancelar"));
    QVERIFY(browseState(form));
    QCOMPARE(storedRow(m_fx->dm(), id), before);
    QVERIFY(m_errors.isEmpty());
}

void TstFRrecibo::closingAsksBeforeTypingIsThrownAway_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("left"); // the entry is left before the close image is clicked
    QTest::addColumn<QString>("answer");
    const QString nao = QString::fromUtf8("Não");
    for (const char *screen : {"FRcadastro", "FRrecibo", "FRcademitente"}) {
        QTest::addRow("%s, nothing typed", screen) << screen << "BTalterar" << "" << false << "";
        QTest::addRow("%s, typing, Não", screen) << screen << "BTalterar" << "NOVO" << false << nao;
        QTest::addRow("%s, typed and left, Sim", screen) << screen << "BTalterar" << "NOVO" << true << "Sim";
    }
    QTest::newRow("FRcadastro, New, nothing typed") << "FRcadastro" << "BTnovo" << "" << false << "";
    QTest::newRow("FRrecibo, New, nothing typed") << "FRrecibo" << "BTnovo" << "" << false << "";
    QTest::newRow("FRrecibo, New, typing, Sim") << "FRrecibo" << "BTnovo" << "NOVO" << false << "Sim";
}

void TstFRrecibo::closingAsksBeforeTypingIsThrownAway()
{
    QFETCH(QString, screen);
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(bool, left);
    QFETCH(QString, answer);
    DataModule &dm = m_fx->dm();
    Screens &screens = m_fx->screens();
    RecordEditor *form = nullptr;
    DBEdit *entry = nullptr;
    if (screen == QLatin1String("FRcadastro")) {
        addCliente(dm, QStringLiteral("ANA"));
        form = screens.FRcadastro.get();
        entry = screens.FRcadastro->DBEdit2;
    } else if (screen == QLatin1String("FRrecibo")) {
        addRecibo(dm, QStringLiteral("ANA"));
        form = screens.FRrecibo.get();
        entry = screens.FRrecibo->DBemitente;
    } else {
        saveIssuer(dm, QStringLiteral("ANA"), QString(), QString());
        form = screens.FRcademitente.get();
        entry = screens.FRcademitente->DBEdit2;
    }
    const auto show = [form] {
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    };
    show();
    clickNamed(form, start);
    if (!typed.isEmpty())
        ::typeInto(entry, typed);
    if (left)
        QTest::keyClick(entry, Qt::Key_Tab);

    ModalAnswerer answerer;
    if (!answer.isEmpty())
        answerer.thenClick(answer);
    clickNamed(form, form->titlePanel()->closeButton()->objectName());
    const bool asked = !typed.isEmpty();
    QCOMPARE(answerer.names(), asked ? QStringList{QStringLiteral("FRmensagem17")} : QStringList());
    if (asked)
        QVERIFY(answerer.seen().constFirst().texts.contains(QStringLiteral("Descartar o que foi digitado ?")));
    const bool stayed = answer == QString::fromUtf8("Não");
    QCOMPARE(form->isVisible(), stayed);
    if (stayed) {
        QVERIFY(!form->BTsalvar->isHidden());
        QCOMPARE(entry->text(), typed);
    } else {
        // Whatever was pending is gone: the next showing has the stored values.
        show();
        QCOMPARE(entry->text(), QStringLiteral("ANA"));
        QVERIFY(form->BTsalvar->isHidden());
    }
    QVERIFY(m_errors.isEmpty());
}

void TstFRrecibo::findShowsTheChosenReceipt()
{
    const int first = addRecibo(m_fx->dm(), QStringLiteral("ZÉ"));
    addRecibo(m_fx->dm(), QStringLiteral("ANA"));
    FRreciboForm &form = openEditor();
    ModalAnswerer answerer;
    answerer.then([](QWidget *window) {
        chooseFirstRow(window);
    });
    clickNamed(&form, QStringLiteral("BTconsultar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRconsultarec")});
    QCOMPARE(form.DBEdit1->text(), QString::number(first));
    QCOMPARE(form.DBemitente->text(), QStringLiteral("ZÉ"));
}


void TstFRrecibo::enterMovesOnFromTheLastField()
{
    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("BTnovo"));
    const QList<QWidget *> order{form.DBtipo,       form.DBemitente, form.DBcpfcnpjemitente, form.DBreferente,
                                 form.DBreferente2, form.DBdata,     form.DBvalor,            form.DBtipo};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QVERIFY2(order.at(i)->hasFocus(), qPrintable(order.at(i)->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QVERIFY(form.DBtipo->hasFocus());
    QVERIFY(editState(form));
}

void TstFRrecibo::characterMessagesNameTheLabel_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString refused = QStringLiteral("O campo %1 contém um caractere que não pode ser gravado: %2");
    QTest::newRow("other party") << "DBemitente" << "łukasz" << refused.arg(QStringLiteral("Recebi de"), QStringLiteral("Ł"));
    QTest::newRow("second reference line") << "DBreferente2" << "ő" << refused.arg(QStringLiteral("Referente à"), QStringLiteral("ő"));
}

void TstFRrecibo::characterMessagesNameTheLabel()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    addRecibo(m_fx->dm(), QStringLiteral("ALGUÉM"));
    FRreciboForm &form = openEditor();
    // A saved receipt: the name is completed on every key released.
    clickNamed(&form, QStringLiteral("BTalterar"));
    auto *entry = form.findChild<DBEdit *>(field);
    entry->setFocus();
    entry->selectAll();
    typeKeys(entry, typed);
    QCOMPARE(m_errors, QStringList());
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList());
    QCOMPARE(m_errors, QStringList{message});
    QVERIFY(editState(form));
}

void TstFRrecibo::printTilesPreviewTheShownReceipt_data()
{
    QTest::addColumn<QString>("tile");
    QTest::addColumn<bool>("withReceipt");
    QTest::newRow("one per sheet") << "Image2" << true;
    QTest::newRow("two per sheet") << "Image3" << true;
    QTest::newRow("no receipt") << "Image2" << false;
}

void TstFRrecibo::printTilesPreviewTheShownReceipt()
{
    QFETCH(QString, tile);
    QFETCH(bool, withReceipt);
    saveIssuer(m_fx->dm(), QStringLiteral("ACME LTDA"), QStringLiteral("12.345.678/0001-99"), QStringLiteral("Olinda"));
    addRecibo(m_fx->dm(), QStringLiteral("OUTRO RECIBO"));
    FRreciboForm &form = openEditor();
    if (withReceipt) {
        clickNamed(&form, QStringLiteral("BTnovo"));
        typeInto(form.DBemitente, QStringLiteral("fulano"));
        typeInto(form.DBvalor, QStringLiteral("1234,56"));
        ModalAnswerer saved;
        clickNamed(&form, QStringLiteral("BTsalvar"));
    } else {
        m_fx->dm().Recibos.remove();
        m_fx->dm().Tra.commitRetaining();
        openEditor();
    }
    const QString number = form.DBEdit1->text();

    ModalAnswerer answerer;
    QStringList found;
    int pages = 0;
    answerer.then([&](QWidget *window) {
        auto *preview = qobject_cast<PreviewWindow *>(window);
        if (preview) {
            pages = preview->report().pageCount();
            for (const QString &text : {QStringLiteral("FULANO"), QStringLiteral("ACME LTDA"), QStringLiteral("1.234,56"),
                                        QStringLiteral("05 de março de 2024"), QStringLiteral("Olinda"), number,
                                        QStringLiteral("OUTRO RECIBO")}) {
                if (preview->report().findText(text, 0) >= 0)
                    found << text;
            }
        }
        window->close();
    });
    clickNamed(&form, tile);
    if (!withReceipt) {
        QCOMPARE(answerer.seen().size(), 0);
        return;
    }
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("PreviewWindow")});
    QCOMPARE(pages, 1);
    QCOMPARE(found, (QStringList{QStringLiteral("FULANO"), QStringLiteral("ACME LTDA"), QStringLiteral("1.234,56"),
                                 QStringLiteral("05 de março de 2024"), QStringLiteral("Olinda"), number}));
    QVERIFY(m_errors.isEmpty());
}

QTEST_MAIN(TstFRrecibo)
#include "tst_frrecibo.moc"
