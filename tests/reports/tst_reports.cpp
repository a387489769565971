#include "ReportsFixture.h"

#include "common/ScreenTesting.h"
#include "common/TempDatabase.h"

#include "app/ExportPeriodo.h"
#include "reportengine/ReportFonts.h"
#include "reports/RelatorioPeriodo.h"
#include "widgets/ErrorDisplay.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTest>

#include <algorithm>

namespace {

const PeriodoRecibos &periodo(int screen)
{
    return screen == 1 ? kRecibosRecebimento : screen == 2 ? kRecibosPagamento : kTodosRecibos;
}

QStringList sorted(QStringList list)
{
    std::sort(list.begin(), list.end());
    return list;
}

QStringList idsOf(Dataset &query)
{
    QStringList ids;
    for (query.first(); !query.eof(); query.next())
        ids << query.fieldByName(QStringLiteral("ID_RECIBO")).asString();
    return ids;
}

const QDate kDia10(2026, 3, 10);

// Receipts around 10 to 14 March: both kinds, a kind left empty, the day before.
QVector<Recibo> recibosDeMarco()
{
    return {{101, QDate(2026, 3, 10), QStringLiteral("RECEBIMENTO"), money(1000), {}},
            {102, QDate(2026, 3, 11), QStringLiteral("PAGAMENTO"), money(2000), {}},
            {103, QDate(2026, 3, 12), QStringLiteral("RECEBIMENTO"), money(3000), {}},
            {104, QDate(2026, 3, 13), QVariant(), money(4000), {}},
            {105, QDate(2026, 3, 14), QStringLiteral("PAGAMENTO"), money(5000), {}},
            {106, QDate(2026, 3, 9), QStringLiteral("RECEBIMENTO"), money(6000), {}}};
}

} // namespace

class TstReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareScreenTests();
        registerReportFonts();
    }
    void init() { errordisplay::clearLastError(); }

    void selectsThePeriodAndKind_data();
    void selectsThePeriodAndKind();
    void headingsFollowTheReport_data();
    void headingsFollowTheReport();
    void totals_data();
    void totals();
    void manyRowsPaginate();
    void reversedPeriodPrintsAnEmptyReport();
    void exportCommand_data();
    void exportCommand();
    void exportWritesTheScreensReport();

private:
    QTemporaryDir m_out;
};

void TstReports::selectsThePeriodAndKind_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QDate>("ini");
    QTest::addColumn<QDate>("fim");
    QTest::addColumn<QStringList>("ids");

    QTest::newRow("recebimento, both ends included") << 1 << kDia10 << QDate(2026, 3, 12) << QStringList{"101", "103"};
    QTest::newRow("recebimento, day after excluded") << 1 << kDia10 << QDate(2026, 3, 11) << QStringList{"101"};
    QTest::newRow("recebimento, one day") << 1 << QDate(2026, 3, 12) << QDate(2026, 3, 12) << QStringList{"103"};
    QTest::newRow("pagamento only its kind") << 2 << kDia10 << QDate(2026, 3, 14) << QStringList{"102", "105"};
    QTest::newRow("pagamento skips empty kind") << 2 << QDate(2026, 3, 13) << QDate(2026, 3, 13) << QStringList{};
    QTest::newRow("todos, every kind") << 3 << kDia10 << QDate(2026, 3, 13) << QStringList{"101", "102", "103", "104"};
    QTest::newRow("todos, empty kind on one day") << 3 << QDate(2026, 3, 13) << QDate(2026, 3, 13) << QStringList{"104"};
    QTest::newRow("todos, day before the rest") << 3 << QDate(2026, 3, 9) << QDate(2026, 3, 9) << QStringList{"106"};
}

void TstReports::selectsThePeriodAndKind()
{
    QFETCH(int, screen);
    QFETCH(QDate, ini);
    QFETCH(QDate, fim);
    QFETCH(QStringList, ids);

    TempDatabase db;
    Module m(db.path());
    addRecibos(m.dm, recibosDeMarco());
    RelatorioPeriodo relatorio(periodo(screen), m.dm);
    relatorio.abreConsulta(ini, fim);

    QCOMPARE(sorted(idsOf(relatorio.ibqRelatorio())), ids);
    const QVector<PdfPage> pages = pdfOf(relatorio.frpEvento(), m_out.filePath(QStringLiteral("periodo.pdf")));
    QCOMPARE(pages.size(), 1);
    QCOMPARE(sorted(numerosImpressos(pages)), ids);
}

void TstReports::headingsFollowTheReport_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("nameHeading");
    QTest::addColumn<bool>("kindColumn");

    QTest::newRow("recebimento") << 1 << "Recibos de Recebimento" << "Emitente" << false;
    QTest::newRow("pagamento") << 2 << "Recibos de Pagamento" << "Emitente" << false;
    QTest::newRow("todos") << 3 << "Todos os Recibos" << "Nome ou Razão Social" << true;
}

void TstReports::headingsFollowTheReport()
{
    QFETCH(int, screen);
    QFETCH(QString, title);
    QFETCH(QString, nameHeading);
    QFETCH(bool, kindColumn);

    TempDatabase db;
    Module m(db.path());
    const QString tipo = screen == 2 ? QStringLiteral("PAGAMENTO") : QStringLiteral("RECEBIMENTO");
    addRecibos(m.dm, {{7, kDia10, tipo, money(123450), QStringLiteral("JOSÉ DA SILVA")}});
    RelatorioPeriodo relatorio(periodo(screen), m.dm);
    relatorio.abreConsulta(kDia10, kDia10);
    const QVector<PdfPage> pages = pdfOf(relatorio.frpEvento(), m_out.filePath(QStringLiteral("cabecalhos.pdf")));

    QCOMPARE(pages.size(), 1);
    const QString kindHeading = kindColumn ? QStringLiteral("Classificação ") : QString();
    const QString kindCell = kindColumn ? tipo + QLatin1Char(' ') : QString();
    QCOMPARE(pages.first().lines(),
             (QStringList{title, kindHeading + QStringLiteral("Nº Recibo Emissão ") + nameHeading + QStringLiteral(" Valor R$"),
                          kindCell + QStringLiteral("7 10/03/2026 JOSÉ DA SILVA 1.234,50"),
                          QStringLiteral("Quindelo - Sistema de Recibos Valor Total R$ 1.234,50")}));
    // The cells in Tahoma, the rest in Arial's stand-in.
    QCOMPARE(fontNames(m_out.filePath(QStringLiteral("cabecalhos.pdf"))).filter(QStringLiteral("Tahoma")).size(), 1);
    QCOMPARE(fontNames(m_out.filePath(QStringLiteral("cabecalhos.pdf"))).size(), 3);
}

void TstReports::totals_data()
{
    QTest::addColumn<QVariantList>("amounts");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("total");

    QTest::newRow("thousands grouped, two decimals") << QVariantList{money(123450)} << QStringList{"1.234,50"} << "1.234,50";
    QTest::newRow("sum of several") << QVariantList{money(1), money(99), money(100000000)}
                                    << QStringList{"0,01", "0,99", "1.000.000,00"} << "1.000.001,00";
    QTest::newRow("empty amount adds nothing") << QVariantList{money(1050), QVariant(), money(525)}
                                               << QStringList{"10,50", "5,25"} << "15,75";
    QTest::newRow("negative amount") << QVariantList{money(-250), money(1000)} << QStringList{"-2,50", "10,00"} << "7,50";
    QTest::newRow("no receipt") << QVariantList{} << QStringList{} << "0,00";
}

void TstReports::totals()
{
    QFETCH(QVariantList, amounts);
    QFETCH(QStringList, cells);
    QFETCH(QString, total);

    TempDatabase db;
    Module m(db.path());
    QVector<Recibo> recibos;
    for (int i = 0; i < amounts.size(); ++i)
        recibos.append({i + 1, kDia10, QStringLiteral("PAGAMENTO"), amounts.at(i), {}});
    addRecibos(m.dm, recibos);
    RelatorioPeriodo relatorio(kRecibosPagamento, m.dm);
    relatorio.abreConsulta(kDia10, kDia10);
    const QVector<PdfPage> pages = pdfOf(relatorio.frpEvento(), m_out.filePath(QStringLiteral("total.pdf")));

    QCOMPARE(pages.size(), 1);
    QCOMPARE(totalImpresso(pages.first()), total);
    QCOMPARE(total, somaNoBanco(m.dm, kDia10, kDia10, QStringLiteral("PAGAMENTO")));
    QStringList printed = valoresImpressos(pages);
    QCOMPARE(printed.takeLast(), total);
    QCOMPARE(sorted(printed), sorted(cells));
    QCOMPARE(numerosImpressos(pages).size(), amounts.size());
}

void TstReports::manyRowsPaginate()
{
    TempDatabase db;
    Module m(db.path());
    QVector<Recibo> recibos = recibosNoDia(1, 60, kDia10, QStringLiteral("RECEBIMENTO"));
    recibos += recibosNoDia(61, 60, kDia10.addDays(1), QStringLiteral("RECEBIMENTO"));
    recibos += recibosNoDia(500, 5, kDia10.addDays(2), QStringLiteral("RECEBIMENTO"));
    recibos += recibosNoDia(600, 5, kDia10, QStringLiteral("PAGAMENTO"));
    addRecibos(m.dm, recibos);
    RelatorioPeriodo relatorio(kRecibosRecebimento, m.dm);
    relatorio.abreConsulta(kDia10, kDia10.addDays(1));
    const QVector<PdfPage> pages = pdfOf(relatorio.frpEvento(), m_out.filePath(QStringLiteral("paginas.pdf")));
    // The report read its rows through a cursor of its own: the query still holds only what opening it fetched.
    QVERIFY(relatorio.ibqRelatorio().active());
    QCOMPARE(relatorio.ibqRelatorio().rowCount(), 1);

    QVERIFY(pages.size() >= 2);
    QStringList expected;
    for (int id = 1; id <= 120; ++id)
        expected << QString::number(id);
    QCOMPARE(sorted(numerosImpressos(pages)), sorted(expected));
    for (int p = 0; p < pages.size(); ++p) {
        QCOMPARE(pages.at(p).count(QStringLiteral("Recebimento")), p == 0 ? 1 : 0);
        QCOMPARE(pages.at(p).count(QStringLiteral("Emissão")), 1);
        QCOMPARE(pages.at(p).count(QStringLiteral("Total")), p == pages.size() - 1 ? 1 : 0);
    }
    const PdfPage &last = pages.last();
    QCOMPARE(totalImpresso(last), somaNoBanco(m.dm, kDia10, kDia10.addDays(1), QStringLiteral("RECEBIMENTO")));
    double lowestRow = 0;
    for (const PdfWord &word : last.words) {
        if (word.text.contains(QLatin1Char('/')))
            lowestRow = qMax(lowestRow, word.box.bottom());
    }
    for (const PdfWord &word : last.words) {
        if (word.text == QLatin1String("Total"))
            QVERIFY(word.box.top() > lowestRow);
    }
}

void TstReports::reversedPeriodPrintsAnEmptyReport()
{
    TempDatabase db;
    Module m(db.path());
    addRecibos(m.dm, recibosDeMarco());
    RelatorioPeriodo relatorio(kTodosRecibos, m.dm);
    relatorio.abreConsulta(QDate(2026, 3, 14), kDia10);
    const QVector<PdfPage> pages = pdfOf(relatorio.frpEvento(), m_out.filePath(QStringLiteral("vazio.pdf")));

    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().lines(), (QStringList{QStringLiteral("Todos os Recibos"),
                                                 QStringLiteral("Classificação Nº Recibo Emissão Nome ou Razão Social Valor R$"),
                                                 QStringLiteral("Quindelo - Sistema de Recibos Valor Total R$ 0,00")}));
    QCOMPARE(errordisplay::lastError(), QString());
}

void TstReports::exportCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("knownDatabase");
    QTest::addColumn<QString>("problem"); // empty: the PDF is written
    QTest::addColumn<QStringList>("ids");

    const QStringList period{"2026-03-10", "2026-03-13"};
    QTest::newRow("every kind") << period << true << "" << QStringList{"101", "102", "103", "104"};
    QTest::newRow("pagamento") << QStringList{"--tipo", "PAGAMENTO"} + period << true << "" << QStringList{"102"};
    QTest::newRow("recebimento") << period + QStringList{"--tipo", "RECEBIMENTO"} << true << ""
                                 << QStringList{"101", "103"};
    QTest::newRow("first day after last") << QStringList{"2026-03-13", "2026-03-10"} << true << "" << QStringList{};
    QTest::newRow("kind in lower case") << period + QStringList{"--tipo", "pagamento"} << true << "Tipo inválido"
                                        << QStringList{};
    QTest::newRow("one day only") << QStringList{"2026-03-10"} << true << "primeira e a última" << QStringList{};
    QTest::newRow("three days") << period + QStringList{"2026-03-14"} << true << "primeira e a última" << QStringList{};
    QTest::newRow("day in local form") << QStringList{"10/03/2026", "2026-03-13"} << true << "Data inválida"
                                       << QStringList{};
    QTest::newRow("no such day") << QStringList{"2026-02-30", "2026-03-13"} << true << "Data inválida" << QStringList{};
    QTest::newRow("no database") << period << false << "Banco de dados não encontrado" << QStringList{};
}

void TstReports::exportCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, knownDatabase);
    QFETCH(QString, problem);
    QFETCH(QStringList, ids);

    TempDatabase db;
    {
        Module m(db.path());
        addRecibos(m.dm, recibosDeMarco());
    }
    QTemporaryDir work;
    const QString output = work.filePath(QStringLiteral("periodo.pdf"));
    const QString database = knownDatabase ? db.path() : work.filePath(QStringLiteral("NAO_EXISTE.FDB"));
    QString errors;
    QTextStream errorStream(&errors);
    const int status = quindeloexport::run(QStringList{"periodo"} + arguments + QStringList{"--banco", database, "-o", output},
                                           {quindeloexport::periodoSubcommand()}, work.path(), errorStream);
    errorStream.flush();

    QCOMPARE(status, problem.isEmpty() ? 0 : 1);
    QVERIFY2(problem.isEmpty() ? errors.isEmpty() : errors.contains(problem), qPrintable(errors));
    QCOMPARE(QFile::exists(output), problem.isEmpty());
    if (problem.isEmpty())
        QCOMPARE(sorted(numerosImpressos(readPdf(output))), ids);
}

void TstReports::exportWritesTheScreensReport()
{
    TempDatabase db;
    const QString screenPdf = m_out.filePath(QStringLiteral("tela.pdf"));
    QVector<PdfPage> fromScreen;
    {
        Module m(db.path());
        addRecibos(m.dm, recibosDeMarco());
        RelatorioPeriodo relatorio(kTodosRecibos, m.dm);
        relatorio.abreConsulta(QDate(2026, 3, 9), QDate(2026, 3, 14));
        fromScreen = pdfOf(relatorio.frpEvento(), screenPdf);
    }
    const QString commandPdf = m_out.filePath(QStringLiteral("comando.pdf"));
    QString errors;
    QTextStream errorStream(&errors);
    QCOMPARE(quindeloexport::run({"periodo", "2026-03-09", "2026-03-14", "--banco", db.path(), "-o", commandPdf},
                                 {quindeloexport::periodoSubcommand()}, m_out.path(), errorStream),
             0);
    const QVector<PdfPage> fromCommand = readPdf(commandPdf);
    QCOMPARE(fromCommand.size(), 1);
    QCOMPARE(fromCommand.first().lines(), fromScreen.first().lines());
    QCOMPARE(numerosImpressos(fromCommand).size(), 6);
}

QTEST_MAIN(TstReports)
#include "tst_reports.moc"
