#include "ReportsFixture.h"

#include "app/Screens.h"
#include "common/ModalAnswerer.h"
#include "common/ScreenTesting.h"
#include "common/Spreadsheet.h"
#include "common/TempDatabase.h"

#include "data/Statement.h"

#include "reportengine/PreviewWindow.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"
#include "reports/FRabrerecibos1.h"
#include "reports/FRabrerecibos2.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRdeclaracao.h"
#include "reports/FRrelatorios.h"
#include "widgets/DateEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/CaseEdit.h"
#include "widgets/PictureButton.h"
#include "widgets/TitlePanel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QSpinBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QDate kHoje(2026, 3, 12);

// The three period screens on one data module, reachable as the menu reaches them.
struct PeriodScreens
{
    std::unique_ptr<FRabrerecibos1Form> f1;
    std::unique_ptr<FRabrerecibos2Form> f2;
    std::unique_ptr<FRabrerecibos3Form> f3;
    std::unique_ptr<FRdeclaracaoForm> declaracao;

    // What the statement's client lookup answers.
    std::optional<ClienteEscolhido> escolha;

    explicit PeriodScreens(DataModule &dm)
        : f1(std::make_unique<FRabrerecibos1Form>(dm))
        , f2(std::make_unique<FRabrerecibos2Form>(dm))
        , f3(std::make_unique<FRabrerecibos3Form>(dm))
        , declaracao(std::make_unique<FRdeclaracaoForm>(FRdeclaracaoForm::Collaborators{dm, [this] { return escolha; }}))
    {
        for (PeriodoForm *form : all())
            form->setClock([] { return kHoje; });
        declaracao->setClock([] { return kHoje; });
    }
    QVector<PeriodoForm *> all() const { return {f1.get(), f2.get(), f3.get()}; }
    PeriodoForm *screen(int n) const { return all().at(n - 1); }
};

// Runs the action; the window it opens modally meanwhile is handed to `seen`
// and closed. Returns the object names of the modal windows it opened.
QStringList closingModals(const std::function<void()> &action, const std::function<void(QWidget *)> &seen = {})
{
    ModalAnswerer answerer;
    answerer.then([&](QWidget *window) {
        if (seen)
            seen(window);
        window->close();
    });
    action();
    return answerer.names();
}

void clickOn(QWidget *widget)
{
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

} // namespace

class TstScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareScreenTests();
        registerReportFonts();
    }
    void init() { errordisplay::clearLastError(); }

    void menuTilesOpenTheirScreens_data();
    void menuTilesOpenTheirScreens();
    void periodScreenControls_data();
    void periodScreenControls();
    void datesStartOnTodayAtEveryShowing();
    void eachShowingQueriesOnce();
    void enterMovesBetweenTheDates();
    void visualizarPreviewsThePeriod_data();
    void visualizarPreviewsThePeriod();
    void queryErrorShowsTheErrorAndNoPreview();
    void statementScreenPreviewsTheParty_data();
    void statementScreenPreviewsTheParty();
    void planilhaWritesThePeriodsRows_data();
    void planilhaWritesThePeriodsRows();
    void startUpCreatesTheScreensHidden();

private:
    QTemporaryDir m_out;
};

void TstScreens::menuTilesOpenTheirScreens_data()
{
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("opens");

    QTest::newRow("Image5") << "Image5" << "- Todos os Recibos" << 0 << "FRabrerecibos3";
    QTest::newRow("Image2") << "Image2" << "- Recibos de Pagamento" << 0 << "FRabrerecibos2";
    QTest::newRow("Image3") << "Image3" << "- Recibos de Recebimento" << 1 << "FRabrerecibos1";
    QTest::newRow("Image4") << "Image4" << "- Declaração Anual" << 1 << "FRdeclaracao";
}

void TstScreens::menuTilesOpenTheirScreens()
{
    QFETCH(QString, tile);
    QFETCH(QString, label);
    QFETCH(int, row);
    QFETCH(QString, opens);

    TempDatabase db;
    Module m(db.path());
    PeriodScreens screens(m.dm);
    FRrelatoriosForm menu(*screens.f3, *screens.f2, *screens.f1, *screens.declaracao);
    QCOMPARE(menu.objectName(), QStringLiteral("FRrelatorios"));
    QCOMPARE(menu.titlePanel()->caption(), QStringLiteral("  Relatórios"));
    QCOMPARE(menu.findChild<PictureButton *>(QStringLiteral("Image1"))->toolTip(), QStringLiteral("Fechar"));
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    auto *image = menu.findChild<PictureButton *>(tile);
    QVERIFY(image);
    QCOMPARE(image->toolTip(), QStringLiteral("Emitir Recibo"));
    QLabel *caption = nullptr;
    for (QLabel *candidate : menu.body()->findChildren<QLabel *>()) {
        if (candidate->text() == label)
            caption = candidate;
    }
    QVERIFY(caption);
    QVERIFY(caption->geometry().left() > image->geometry().right());
    QVERIFY(qAbs(caption->geometry().center().y() - image->geometry().center().y()) < image->height());
    const int firstRowY = menu.findChild<PictureButton *>(QStringLiteral("Image5"))->geometry().top();
    QCOMPARE(image->geometry().top() > firstRowY, row == 1);

    const QStringList opened = closingModals([&] { clickOn(caption); });
    QCOMPARE(opened, QStringList());
    QCOMPARE(closingModals([&] { clickOn(image); }), QStringList{opens});
}

void TstScreens::periodScreenControls_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("1") << 1 << "FRabrerecibos1" << "  Recibos Recebimento";
    QTest::newRow("2") << 2 << "FRabrerecibos2" << "  Recibos Pagamento";
    QTest::newRow("3") << 3 << "FRabrerecibos3" << "  Todos os Recibos";
}

void TstScreens::periodScreenControls()
{
    QFETCH(int, screen);
    QFETCH(QString, name);
    QFETCH(QString, caption);

    TempDatabase db;
    Module m(db.path());
    PeriodScreens screens(m.dm);
    PeriodoForm *form = screens.screen(screen);
    QCOMPARE(form->objectName(), name);
    QCOMPARE(form->titlePanel()->caption(), caption);
    QCOMPARE(form->windowTitle(), QStringLiteral("Escolha o período da Emissão dos Recibos"));
    QCOMPARE(form->findChild<PictureButton *>(QStringLiteral("BTsair"))->toolTip(), QStringLiteral("Fechar"));
    auto *panel = form->findChild<QLabel *>(QStringLiteral("Panel1"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("Visualizar"));
    QCOMPARE(panel->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(panel->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form->findChild<DateEdit *>(QStringLiteral("Medtini")), form->Medtini());
    QCOMPARE(form->findChild<DateEdit *>(QStringLiteral("Medtfim")), form->Medtfim());
    form->show();
    QVERIFY(form->Medtini()->geometry().left() < form->Medtfim()->geometry().left());
    form->close();
    QCOMPARE(form->relatorio().ibqRelatorio().objectName(), QStringLiteral("ibqRelatorio"));
}

void TstScreens::datesStartOnTodayAtEveryShowing()
{
    TempDatabase db;
    Module m(db.path());
    PeriodScreens screens(m.dm);
    for (PeriodoForm *form : screens.all()) {
        form->show();
        QCOMPARE(form->Medtini()->date(), kHoje);
        QCOMPARE(form->Medtfim()->date(), kHoje);
        QVERIFY(m.dm.Clientes.active());
        QCOMPARE(m.dm.Clientes.sql(), (QStringList{"SELECT * FROM CLIENTES", "ORDER BY CLIENTE"}));
        form->Medtini()->setDate(QDate(2020, 1, 1));
        form->Medtfim()->setDate(QDate(2020, 2, 1));
        form->close();
        m.dm.Clientes.close();
        form->show();
        QCOMPARE(form->Medtini()->date(), kHoje);
        QCOMPARE(form->Medtfim()->date(), kHoje);
        QVERIFY(m.dm.Clientes.active());
        form->close();
    }
    QCOMPARE(errordisplay::lastError(), QString());
}

void TstScreens::eachShowingQueriesOnce()
{
    TempDatabase db;
    Module m(db.path());
    PeriodScreens screens(m.dm);
    for (PeriodoForm *form : screens.all()) {
        QSignalSpy requeries(&m.dm.Clientes, &Dataset::reset);
        form->show();
        form->close();
        QCOMPARE(requeries.count(), 1);
    }
    QCOMPARE(errordisplay::lastError(), QString());
}

void TstScreens::enterMovesBetweenTheDates()
{
    TempDatabase db;
    Module m(db.path());
    PeriodScreens screens(m.dm);
    PeriodoForm *form = screens.screen(3);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->Medtini()->setFocus();
    QTRY_VERIFY(form->Medtini()->hasFocus());
    const QStringList opened = closingModals([&] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(form->Medtfim()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(form->Medtini()->hasFocus());
    });
    QCOMPARE(opened, QStringList());
    QVERIFY(form->isVisible());
    QCOMPARE(form->Medtini()->date(), kHoje);
    form->close();
}

void TstScreens::visualizarPreviewsThePeriod_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("firstIds");
    QTest::addColumn<QStringList>("secondIds");

    QTest::newRow("recebimento") << 1 << "Nº Recibo Emissão Emitente Valor R$" << QStringList{"1", "2"} << QStringList{"5"};
    QTest::newRow("pagamento") << 2 << "Nº Recibo Emissão Emitente Valor R$" << QStringList{"3"} << QStringList{"6"};
    QTest::newRow("todos") << 3 << "Classificação Nº Recibo Emissão Nome ou Razão Social Valor R$"
                           << QStringList{"1", "2", "3", "4"} << QStringList{"5", "6"};
}

void TstScreens::visualizarPreviewsThePeriod()
{
    QFETCH(int, screen);
    QFETCH(QString, heading);
    QFETCH(QStringList, firstIds);
    QFETCH(QStringList, secondIds);

    TempDatabase db;
    Module m(db.path());
    addRecibos(m.dm, {{1, kHoje, QStringLiteral("RECEBIMENTO"), money(100), {}},
                      {2, kHoje.addDays(1), QStringLiteral("RECEBIMENTO"), money(200), {}},
                      {3, kHoje, QStringLiteral("PAGAMENTO"), money(300), {}},
                      {4, kHoje, QVariant(), money(400), {}},
                      {5, kHoje.addDays(5), QStringLiteral("RECEBIMENTO"), money(500), {}},
                      {6, kHoje.addDays(5), QStringLiteral("PAGAMENTO"), money(600), {}}});
    PeriodScreens screens(m.dm);
    PeriodoForm *form = screens.screen(screen);
    form->show();
    auto *panel = form->findChild<QLabel *>(QStringLiteral("Panel1"));
    const QString pdf = m_out.filePath(QStringLiteral("tela.pdf"));
    QVector<PdfPage> pages;
    auto exportPreview = [&](QWidget *window) {
        auto *preview = qobject_cast<PreviewWindow *>(window);
        QVERIFY(preview);
        QVERIFY(preview->exportPdfTo(pdf));
        pages = readPdf(pdf);
    };

    form->Medtfim()->setDate(kHoje.addDays(1));
    QCOMPARE(closingModals([&] { clickOn(panel); }, exportPreview), QStringList{"PreviewWindow"});
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().lines().value(1), heading);
    QCOMPARE(numerosImpressos(pages), firstIds);

    form->Medtini()->setDate(kHoje.addDays(5));
    form->Medtfim()->setDate(kHoje.addDays(5));
    QCOMPARE(closingModals([&] { clickOn(panel); }, exportPreview), QStringList{"PreviewWindow"});
    QCOMPARE(numerosImpressos(pages), secondIds);
    QCOMPARE(pages.first().lines().value(1), heading);
    QVERIFY(form->relatorio().ibqRelatorio().active());
    QCOMPARE(errordisplay::lastError(), QString());
    form->close();
}

void TstScreens::queryErrorShowsTheErrorAndNoPreview()
{
    QTemporaryDir empty;
    Module m(empty.filePath(QStringLiteral("NAO_EXISTE.FDB")));
    PeriodScreens screens(m.dm);
    PeriodoForm *form = screens.screen(2);
    form->show();
    QVERIFY(errordisplay::lastError().contains(QStringLiteral("NAO_EXISTE.FDB")));
    errordisplay::clearLastError();
    auto *panel = form->findChild<QLabel *>(QStringLiteral("Panel1"));
    QCOMPARE(closingModals([&] { clickOn(panel); }), QStringList());
    QVERIFY(errordisplay::lastError().contains(QStringLiteral("NAO_EXISTE.FDB")));
    QVERIFY(form->isVisible());
    form->close();
}

void TstScreens::statementScreenPreviewsTheParty_data()
{
    QTest::addColumn<bool>("fromRegister");
    QTest::addColumn<QString>("typedDocument");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ids");

    QTest::newRow("chosen from the register") << true << "" << "" << "RECEBIMENTO"
                                              << "recebemos de ANA PAZ, CPF/CNPJ 111.222.333-44, no ano-calendário de 2025,"
                                              << QStringList{"1", "2"};
    QTest::newRow("typed document, formatted when left")
        << false << "11122233344" << "" << "RECEBIMENTO" << "recebemos de , CPF/CNPJ 111.222.333-44, no"
        << QStringList{"1"};
    QTest::newRow("typed name, payments") << false << "" << "ana paz" << "PAGAMENTO"
                                          << "pagamos a ANA PAZ, CPF/CNPJ , no ano-calendário de 2025," << QStringList{"3"};
}

void TstScreens::statementScreenPreviewsTheParty()
{
    QFETCH(bool, fromRegister);
    QFETCH(QString, typedDocument);
    QFETCH(QString, typedName);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QStringList, ids);

    TempDatabase db;
    Module m(db.path());
    m.dm.Base.open();
    PreparedStatement insert(m.dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CPFCNPJEMITENTE, "
                                                       "VALOR, TIPO, DATA) values (?, 'ANA PAZ', ?, 10, ?, ?)"));
    insert.execute(m.dm.Tra, {1, "111.222.333-44", "RECEBIMENTO", QDate(2025, 4, 1)});
    insert.execute(m.dm.Tra, {2, QVariant(), "RECEBIMENTO", QDate(2025, 5, 1)});
    insert.execute(m.dm.Tra, {3, "111.222.333-44", "PAGAMENTO", QDate(2025, 6, 1)});
    insert.execute(m.dm.Tra, {4, "111.222.333-44", "RECEBIMENTO", kHoje});
    m.dm.Tra.commitRetaining();
    PeriodScreens screens(m.dm);
    if (fromRegister)
        screens.escolha = ClienteEscolhido{QStringLiteral("ANA PAZ"), QStringLiteral("111.222.333-44")};
    FRdeclaracaoForm *form = screens.declaracao.get();
    form->EDnome->setText(QStringLiteral("DE ANTES"));
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(form->EDano->value(), 2025);
    QCOMPARE(form->CBtipo->currentText(), QStringLiteral("RECEBIMENTO"));
    QCOMPARE(form->EDnome->text(), QString());

    if (!typedDocument.isEmpty()) {
        typeInto(form->EDcpfcnpj, typedDocument);
        QTest::keyClick(form->EDcpfcnpj, Qt::Key_Tab);
    }
    if (!typedName.isEmpty())
        typeInto(form->EDnome, typedName);
    // Choosing nobody keeps what was typed.
    QCOMPARE(closingModals([&] { clickOn(form->Panel2); }), QStringList());
    form->CBtipo->setCurrentText(kind);

    QVector<PdfPage> pages;
    const auto exportPreview = [&](QWidget *window) {
        auto *preview = qobject_cast<PreviewWindow *>(window);
        QVERIFY(preview);
        QVERIFY(preview->exportPdfTo(m_out.filePath(QStringLiteral("declaracao.pdf"))));
        pages = readPdf(m_out.filePath(QStringLiteral("declaracao.pdf")));
    };
    QCOMPARE(closingModals([&] { clickOn(form->Panel1); }, exportPreview), QStringList{"PreviewWindow"});
    QCOMPARE(errordisplay::lastError(), QString());
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages.first().text().contains(text), qPrintable(pages.first().text()));
    QCOMPARE(listedReceiptNumbers(pages), ids);
    QVERIFY(pages.first().text().contains(QStringLiteral("12 de março de 2026")));
    form->close();
}

void TstScreens::planilhaWritesThePeriodsRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows"); // read back, headings and total row included
    QTest::addColumn<QString>("error");

    QTest::newRow("xlsx") << "lista.xlsx" << 4 << "";
    QTest::newRow("csv") << "lista.csv" << 3 << "";
    QTest::newRow("given up") << "" << 0 << "";
    QTest::newRow("other extension") << "lista.ods" << 0 << "deve terminar em .xlsx ou .csv";
}

void TstScreens::planilhaWritesThePeriodsRows()
{
    QFETCH(QString, file);
    QFETCH(int, rows);
    QFETCH(QString, error);

    TempDatabase db;
    Module m(db.path());
    addRecibos(m.dm, {{1, kHoje, QStringLiteral("RECEBIMENTO"), money(100), {}},
                      {2, kHoje, QStringLiteral("PAGAMENTO"), money(250), {}},
                      {3, kHoje.addDays(1), QStringLiteral("PAGAMENTO"), money(400), {}}});
    PeriodScreens screens(m.dm);
    PeriodoForm *form = screens.screen(3);
    QTemporaryDir folder;
    const QString path = file.isEmpty() ? QString() : folder.filePath(file);
    form->setFileQuestion([&] { return path; });
    form->show();
    QCOMPARE(closingModals([&] { clickOn(form->findChild<QLabel *>(QStringLiteral("Panel2"))); }), QStringList());
    QVERIFY2(errordisplay::lastError().contains(error), qPrintable(errordisplay::lastError()));
    QCOMPARE(error.isEmpty(), errordisplay::lastError().isEmpty());
    if (rows == 0) {
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    } else if (file.endsWith(QLatin1String(".xlsx"))) {
        const XlsxSheet sheet = readXlsx(path);
        QCOMPARE(sheet.rows.size(), rows);
        QCOMPARE(sheet.rows.last().last().cached.toDouble(), 3.5);
    } else {
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count("\r\n"), rows);
    }
    form->close();
}

void TstScreens::startUpCreatesTheScreensHidden()
{
    QTemporaryDir folder;
    {
        Screens screens;
        screens.create(folder.path());
        const QVector<QWidget *> created{screens.FRabrerecibos1.get(), screens.FRabrerecibos2.get(),
                                         screens.FRabrerecibos3.get(), screens.FRrelatorios.get(),
                                         screens.FRdeclaracao.get(), screens.FRconsultacli3.get()};
        const QStringList names{"FRabrerecibos1", "FRabrerecibos2", "FRabrerecibos3",
                                "FRrelatorios",   "FRdeclaracao",   "FRconsultacli3"};
        for (int i = 0; i < created.size(); ++i) {
            QVERIFY(created.at(i));
            QCOMPARE(created.at(i)->objectName(), names.at(i));
            QVERIFY(!created.at(i)->isVisible());
        }
        QVERIFY(!screens.Datamodule1->Base.connected());
    }
}

QTEST_MAIN(TstScreens)
#include "tst_reportscreens.moc"
