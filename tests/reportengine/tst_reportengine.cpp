#include "common/ScreenTesting.h"
#include "common/PdfText.h"
#include "common/Pictures.h"
#include "common/TempDatabase.h"

#include "data/Statement.h"

#include "data/Numeric.h"
#include "reportengine/LayoutFile.h"
#include "reportengine/PreviewWindow.h"
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"
#include "reportengine/ValueFormat.h"
#include "widgets/ErrorDisplay.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>
#include <QToolBar>
#include <QBuffer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {

// Half a millimetre, in units.
constexpr double kTolerance = 0.5 * units::kPerMm;

Numeric money(qint64 cents)
{
    return Numeric{cents, -2};
}

} // namespace

class TstReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareScreenTests();
        registerReportFonts();
        QVERIFY(m_dir.isValid());
        // Our own embedded lock folder: other test programs stuck on the shared one cannot block us.
        QDir(m_dir.path()).mkpath(QStringLiteral("fblock"));
        qputenv("FIREBIRD_LOCK", path(QStringLiteral("fblock")).toLocal8Bit());
    }

    void brokenLayouts_data();
    void brokenLayouts();
    void findObject();
    void valueFormat_data();
    void valueFormat();
    void expressions_data();
    void expressions();
    void textInsideBox_data();
    void textInsideBox();
    void longTextIsCutAtTheBox();
    void setTextPrintsBracketsAsTheyStand();
    void banded_data();
    void banded();
    void pictureFitsBox_data();
    void pictureFitsBox();
    void pdfIsA4WithEmbeddedFonts();
    void jpegSize_data();
    void jpegSize();
    void jpegOneFilePerPage();
    void preparedPagesRoundTrip();
    void brokenPagesFileIsRefused_data();
    void brokenPagesFileIsRefused();
    void failedExportLeavesNoFile_data();
    void failedExportLeavesNoFile();
    void previewReportsFailureAndStaysOpen();
    void previewNavigatesAndFinds();
    void datasetRowsAreListed();
    void sumsRefuseWhatCannotBeAdded_data();
    void sumsRefuseWhatCannotBeAdded();
    void printingDrawsTheSamePages();
    void printingWithoutPrinterSaysSo();
    void previewWorksFromTheKeyboard_data();
    void previewWorksFromTheKeyboard();
    void previewCommandsHaveIconsAndTips();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static Report listing(MemoryDataSource &rows)
    {
        Report report = Report::fromFile(QStringLiteral(":/listing.layout"));
        report.setDataSource(QStringLiteral("IBQEVENTO"), &rows);
        return report;
    }
    QVector<PdfPage> render(Report &report, const QString &name) { return pdfOf(report, path(name)); }

    QTemporaryDir m_dir;
};

void TstReportEngine::brokenLayouts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("problem");

    const QString head = QStringLiteral("layout x\nband B kind=title height=10\n");
    QTest::newRow("unknown line") << head + "circle C left=1" << 3 << "linha desconhecida: circle";
    QTest::newRow("object before band") << "layout x\n\ntext T left=0 top=0 width=1 height=1" << 3
                                        << "text antes de qualquer band";
    QTest::newRow("bad number") << head + "text T left=1,5 top=0 width=1 height=1" << 3 << "\"1,5\" não é um número";
    QTest::newRow("missing size") << head + "# comment\nline L left=1 top=2" << 4 << "precisa de left, top, width";
    QTest::newRow("unknown property") << head + "text T left=0 top=0 width=1 height=1 colour=red" << 3
                                      << "propriedade desconhecida de text: colour";
    QTest::newRow("line style on text") << head + "text T left=0 top=0 width=1 height=1 style=dotted" << 3
                                        << "propriedade desconhecida de text: style";
    QTest::newRow("open quote") << head + "text T left=0 top=0 width=1 height=1 text=\"abc" << 3
                                << "aspas sem fechamento";
    QTest::newRow("bad expression") << head + "text T left=0 top=0 width=1 height=1 text=\"[1+2]\"" << 3
                                    << "expressão inválida: [1+2]";
    QTest::newRow("open bracket") << head + "text T left=0 top=0 width=1 height=1 text=\"[a.b\"" << 3 << "falta \"]\"";
    QTest::newRow("bad alignment") << head + "text T left=0 top=0 width=1 height=1 align=middle" << 3
                                   << "align=middle inválido; use center, left, right";
    QTest::newRow("bad pattern") << head + "text T left=0 top=0 width=1 height=1 format=%2.2x" << 3
                                 << "formato de exibição inválido: %2.2x";
    QTest::newRow("bad colour") << head + "text T left=0 top=0 width=1 height=1 fill=#12" << 3 << "cor inválida";
    QTest::newRow("data band without source") << "layout x\nband D kind=data height=10" << 2 << "precisa de source";
    QTest::newRow("band without kind") << "layout x\nband D height=10" << 2 << "precisa de kind e height";
    QTest::newRow("margins count") << "layout x\npage margins=1,2,3" << 2 << "margins espera 4 números";
    QTest::newRow("no layout line") << "band B kind=title height=10\n" << 0 << "falta a linha layout";
    QTest::newRow("flag with no value needed") << head + "text T left top=0 width=1 height=1" << 3
                                               << "não é um número em left";
}

void TstReportEngine::brokenLayouts()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, problem);
    try {
        layoutfile::parse(text, QStringLiteral("teste.layout"));
        QFAIL("a broken layout was accepted");
    } catch (const LayoutError &error) {
        if (line > 0)
            QCOMPARE(error.line(), line);
        QVERIFY2(error.problem().contains(problem), qPrintable(error.problem()));
        QVERIFY(error.message().startsWith(QStringLiteral("teste.layout, linha ")));
    }
}

void TstReportEngine::findObject()
{
    ReportLayout layout = layoutfile::parse(QStringLiteral("layout x\n"
                                                           "band A kind=title height=10\n"
                                                           "text Memo1 left=0 top=0 width=1 height=1 text=primeiro\n"
                                                           "band B kind=summary height=10\n"
                                                           "text MEMO1 left=0 top=0 width=1 height=1 text=segundo\n"
                                                           "picture Picture1 left=0 top=0 width=1 height=1\n"),
                                            QStringLiteral("x"));
    QCOMPARE(layout.findObject(QStringLiteral("memo1"))->text(), QStringLiteral("primeiro"));
    QCOMPARE(layout.findObject(QStringLiteral("MeMo1"))->text(), QStringLiteral("primeiro"));
    QCOMPARE(layout.findObject(QStringLiteral("PICTURE1"))->kind, ObjectKind::Picture);
    QCOMPARE(layout.findObject(QStringLiteral("Memo")), nullptr);
    QCOMPARE(layout.findObject(QStringLiteral("Memo12")), nullptr);
}

void TstReportEngine::valueFormat_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("thousands") << QVariant::fromValue(money(123450)) << "%2.2n" << "1.234,50";
    QTest::newRow("millions") << QVariant::fromValue(money(123456789)) << "%2.2n" << "1.234.567,89";
    QTest::newRow("small") << QVariant::fromValue(money(5)) << "%2.2n" << "0,05";
    QTest::newRow("negative") << QVariant::fromValue(money(-123450)) << "%2.2n" << "-1.234,50";
    QTest::newRow("zero") << QVariant::fromValue(money(0)) << "%2.2n" << "0,00";
    QTest::newRow("rounds") << QVariant::fromValue(Numeric{12345, -3}) << "%2.2n" << "12,35";
    QTest::newRow("no grouping") << QVariant::fromValue(money(123450)) << "%2.2f" << "1234,50";
    QTest::newRow("integer") << QVariant(1234) << "%2.2n" << "1.234,00";
    QTest::newRow("double") << QVariant(1234.5) << "%2.2n" << "1.234,50";
    QTest::newRow("numeric plain") << QVariant::fromValue(money(123450)) << "" << "1234,50";
    QTest::newRow("integer plain") << QVariant(7) << "" << "7";
    QTest::newRow("date") << QVariant(QDate(2026, 3, 5)) << "" << "05/03/2026";
    QTest::newRow("text ignores pattern") << QVariant(QStringLiteral("abc")) << "%2.2n" << "abc";
    QTest::newRow("null") << QVariant() << "%2.2n" << "";
}

void TstReportEngine::valueFormat()
{
    QFETCH(QVariant, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(valueformat::format(value, pattern), expected);
}

void TstReportEngine::expressions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("sum");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("band");

    QTest::newRow("quoted field") << "ibqEvento.\"VALOR\"" << true << false << "ibqEvento" << "VALOR" << "";
    QTest::newRow("bare field") << "ibqEvento.VALOR" << true << false << "ibqEvento" << "VALOR" << "";
    QTest::newRow("blanks") << " ibqEvento . \"ID RECIBO\" " << true << false << "ibqEvento" << "ID RECIBO" << "";
    QTest::newRow("sum") << "SUM(<ibqEvento.\"VALOR\">,MasterData1)" << true << true << "ibqEvento" << "VALOR"
                         << "MasterData1";
    QTest::newRow("sum lower case") << "sum( <ds.\"V\"> , Band2 )" << true << true << "ds" << "V" << "Band2";
    QTest::newRow("no field") << "ibqEvento" << false << false << "" << "" << "";
    QTest::newRow("sum without band") << "SUM(<a.\"B\">)" << false << false << "" << "" << "";
    QTest::newRow("other function") << "AVG(<a.\"B\">,M)" << false << false << "" << "" << "";
    QTest::newRow("empty") << "" << false << false << "" << "" << "";
}

void TstReportEngine::expressions()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, sum);
    QFETCH(QString, source);
    QFETCH(QString, field);
    QFETCH(QString, band);
    try {
        const Expression expression = TextTemplate::parseExpression(text);
        QVERIFY(valid);
        QCOMPARE(expression.kind == Expression::Kind::Sum, sum);
        QCOMPARE(expression.dataSource, source);
        QCOMPARE(expression.field, field);
        QCOMPARE(expression.band, band);
    } catch (const ReportError &) {
        QVERIFY(!valid);
    }
}

void TstReportEngine::textInsideBox_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("box");

    QTest::newRow("left top") << "" << "Recebi(emos) de:" << QRectF(30.24, 328.82, 109.61, 18.9);
    QTest::newRow("left middle") << "valign=middle" << "São Paulo" << QRectF(30.24, 400, 300, 40);
    QTest::newRow("right") << "align=right" << "1.234,50" << QRectF(625.51, 117.17, 136.06, 26.46);
    QTest::newRow("right bold 18") << "align=right size=18 bold" << "1.234,50" << QRectF(625.51, 117.17, 136.06, 26.46);
    QTest::newRow("centre") << "align=center valign=middle bold" << "Fulano de Tal" << QRectF(264.57, 822.94, 264.57, 18.9);
    QTest::newRow("bottom") << "valign=bottom" << "rodapé" << QRectF(100, 900, 200, 60);
    QTest::newRow("accents") << "" << "referente â ação nº 5" << QRectF(30, 500, 400, 18.9);
}

void TstReportEngine::textInsideBox()
{
    QFETCH(QString, options);
    QFETCH(QString, text);
    QFETCH(QRectF, box);

    const QString layout = QStringLiteral("layout x\npage margins=0,0,0,0\nband B kind=title height=1000\n"
                                          "text T left=%1 top=%2 width=%3 height=%4 %5\n")
                               .arg(box.left()).arg(box.top()).arg(box.width()).arg(box.height()).arg(options);
    Report report(layoutfile::parse(layout, QStringLiteral("x")));
    report.findObject(QStringLiteral("t"))->setText(text);
    const QVector<PdfPage> pages = render(report, QStringLiteral("box.pdf"));
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].textInside(box, kTolerance), text);

    // The alignment puts the text against the side asked for (inner gap 2 units).
    const QVector<PdfWord> words = pages[0].words;
    const double left = words.first().box.left();
    const double right = words.last().box.right();
    const double top = words.first().box.top();
    const double bottom = words.first().box.bottom();
    if (options.contains(QLatin1String("align=right")))
        QVERIFY2(qAbs(right - (box.right() - 2)) < kTolerance, qPrintable(QString::number(right)));
    else if (options.contains(QLatin1String("align=center")))
        QVERIFY(qAbs((left + right) / 2 - box.center().x()) < kTolerance);
    else
        QVERIFY(qAbs(left - (box.left() + 2)) < kTolerance);
    if (options.contains(QLatin1String("valign=middle")))
        QVERIFY(qAbs((top + bottom) / 2 - box.center().y()) < 2 * kTolerance);
    else if (options.contains(QLatin1String("valign=bottom")))
        QVERIFY(box.bottom() - bottom < 3 * kTolerance);
    else
        QVERIFY(top - box.top() < 3 * kTolerance);
}

void TstReportEngine::longTextIsCutAtTheBox()
{
    Report report(layoutfile::parse(
        QStringLiteral("layout x\npage margins=0,0,0,0\nband B kind=title height=1000\n"
                       "text Ref left=120.94 top=480 width=300 height=18.9 valign=middle\n"
                       "text Abaixo left=120.94 top=499 width=300 height=18.9 text=\"linha de baixo\"\n"),
        QStringLiteral("x")));
    const QString longText = QStringLiteral("primeira parte que cabe na caixa sem problemas "
                                            "segunda parte quebrada e cortada fora da caixa");
    report.findObject(QStringLiteral("ref"))->setText(longText);
    const QVector<PdfPage> pages = render(report, QStringLiteral("cut.pdf"));
    QCOMPARE(pages.size(), 1);
    const QRectF refBox(120.94, 480, 300, 18.9);
    const QString inside = pages[0].textInside(refBox, kTolerance);
    QVERIFY2(longText.startsWith(inside + QLatin1Char(' ')), qPrintable(inside));
    QVERIFY(inside.size() > 20);
    QVERIFY(!pages[0].text().contains(QStringLiteral("cortada")));
    QCOMPARE(pages[0].textInside(QRectF(120.94, 499, 300, 18.9), kTolerance), QStringLiteral("linha de baixo"));
}

void TstReportEngine::setTextPrintsBracketsAsTheyStand()
{
    Report report(layoutfile::parse(QStringLiteral("layout x\nband B kind=title height=100\n"
                                                   "text T left=0 top=0 width=700 height=20 text=\"[a.b]\"\n"),
                                    QStringLiteral("x")));
    report.findObject(QStringLiteral("T"))->setText(QStringLiteral("nota [ibqEvento.\"VALOR\"] fim"));
    const QVector<PdfPage> pages = render(report, QStringLiteral("brackets.pdf"));
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].text(), QStringLiteral("nota [ibqEvento.\"VALOR\"] fim"));
}

void TstReportEngine::banded_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("120") << 120;
    QTest::newRow("300") << 300;
}

void TstReportEngine::banded()
{
    QFETCH(int, rows);
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    qint64 total = 0;
    for (int i = 1; i <= rows; ++i) {
        const qint64 cents = 100000 + i * 37;
        total += cents;
        source.addRow({i, QStringLiteral("Cliente%1").arg(i), QVariant::fromValue(money(cents))});
    }
    Report report = listing(source);
    const QVector<PdfPage> pages = render(report, QStringLiteral("banded.pdf"));
    QVERIFY(!pages.isEmpty());
    // Page body 297 - 10 - 15 mm, less the header, holds this many rows.
    const double body = units::fromMm(272);
    const int firstPageRows = int((body - 41.57 - 22.67) / 15.11);
    QVERIFY(pages.size() >= 1 + qMax(0, rows - firstPageRows) / int((body - 22.67) / 15.11));

    int titles = 0, sums = 0, nextRow = 1;
    const QString totalText = valueformat::format(QVariant::fromValue(money(total)), QStringLiteral("%2.2n"));
    for (int p = 0; p < pages.size(); ++p) {
        const QString text = pages[p].text();
        titles += text.count(QStringLiteral("Listagem de Teste"));
        QVERIFY2(text.contains(QStringLiteral("Número Nome")), qPrintable(QStringLiteral("page %1").arg(p + 1)));
        double lastRowBottom = 0;
        for (const PdfWord &word : pages[p].words) {
            if (word.text == QStringLiteral("Cliente%1").arg(nextRow)) {
                ++nextRow;
                lastRowBottom = word.box.bottom();
                QVERIFY(word.box.bottom() <= pages[p].size.height() - units::fromMm(15) + kTolerance);
            }
        }
        if (text.contains(QStringLiteral("Valor Total"))) {
            ++sums;
            QCOMPARE(p, pages.size() - 1);
            QCOMPARE(nextRow, rows + 1);
            const QVector<PdfWord> totalWords = pages[p].wordsInside(QRectF(0, lastRowBottom, 2000, 2000), 0);
            QVERIFY(std::any_of(totalWords.cbegin(), totalWords.cend(),
                                [&](const PdfWord &w) { return w.text == totalText; }));
        }
    }
    QCOMPARE(titles, 1);
    QCOMPARE(sums, 1);
    QCOMPARE(nextRow, rows + 1);
    QCOMPARE(pages[0].words.first().text, QStringLiteral("Listagem"));
}

void TstReportEngine::pictureFitsBox_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRectF>("expected");

    // Box at (30, 60), 200 x 100.
    QTest::newRow("wide") << pictureBytes("PNG", {400, 100}) << QRectF(30, 60, 200, 50);
    QTest::newRow("tall") << pictureBytes("PNG", {50, 200}) << QRectF(30, 60, 25, 100);
    QTest::newRow("same shape, smaller") << pictureBytes("PNG", {20, 10}) << QRectF(30, 60, 200, 100);
    QTest::newRow("not a picture") << QByteArray("no picture here") << QRectF();
    QTest::newRow("empty") << QByteArray() << QRectF();
}

void TstReportEngine::pictureFitsBox()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRectF, expected);
    Report report(layoutfile::parse(QStringLiteral("layout x\npage margins=0,0,0,0\nband B kind=title height=500\n"
                                                   "picture Picture1 left=30 top=60 width=200 height=100\n"),
                                    QStringLiteral("x")));
    report.findObject(QStringLiteral("picture1"))->setPicture(pictureBytes("PNG", {50, 50}));
    report.findObject(QStringLiteral("picture1"))->setPicture(bytes);
    report.prepareReport();
    const QVector<Primitive> &primitives = report.preparedPages().page(0).primitives;
    if (expected.isNull()) {
        QVERIFY(primitives.isEmpty());
        return;
    }
    QCOMPARE(primitives.size(), 1);
    QCOMPARE(primitives[0].type, Primitive::Type::Picture);
    QCOMPARE(primitives[0].rect, expected);
}

void TstReportEngine::pdfIsA4WithEmbeddedFonts()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    source.addRow({1, QStringLiteral("Ação"), QVariant::fromValue(money(100))});
    Report report = listing(source);
    const QVector<PdfPage> pages = render(report, QStringLiteral("a4.pdf"));
    QCOMPARE(pages.size(), 1);
    // PDF page sizes are whole points: A4 is 595 x 842.
    QCOMPARE(qRound(pages[0].size.width() * 72 / 96), 595);
    QCOMPARE(qRound(pages[0].size.height() * 72 / 96), 842);
    QVERIFY(pages[0].text().contains(QStringLiteral("Ação")));
    QCOMPARE(fontsNotEmbedded(path(QStringLiteral("a4.pdf"))), QStringList());
}

void TstReportEngine::jpegSize_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("96") << 96;
    QTest::newRow("150") << 150;
    QTest::newRow("300") << 300;
}

void TstReportEngine::jpegSize()
{
    QFETCH(int, dpi);
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    Report report = listing(source);
    report.prepareReport();
    const QString file = path(QStringLiteral("page%1.jpg").arg(dpi));
    QCOMPARE(reportexport::toJpeg(report.preparedPages(), file, dpi), QStringList{file});
    QImage image;
    QVERIFY(image.load(file, "JPG"));
    QCOMPARE(image.width(), qRound(210 / 25.4 * dpi));
    QCOMPARE(image.height(), qRound(297 / 25.4 * dpi));
    QVERIFY(qAbs(double(image.height()) / image.width() - 297.0 / 210.0) < 0.003);
    // The title is drawn near the top, the rest of the top-left corner stays white.
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    const QRect titleArea(image.width() / 3, int(units::fromMm(10) * dpi / 96.0), image.width() / 3, int(30 * dpi / 96.0));
    bool inked = false;
    for (int y = titleArea.top(); y < titleArea.bottom() && !inked; ++y)
        for (int x = titleArea.left(); x < titleArea.right() && !inked; ++x)
            inked = qGray(image.pixel(x, y)) < 100;
    QVERIFY(inked);
}

void TstReportEngine::jpegOneFilePerPage()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 0; i < 100; ++i)
        source.addRow({i, QStringLiteral("x"), QVariant::fromValue(money(i))});
    Report report = listing(source);
    report.prepareReport();
    QCOMPARE(report.preparedPages().pageCount(), 2);
    const QStringList files = reportexport::toJpeg(report.preparedPages(), path(QStringLiteral("multi.jpg")), 50);
    QCOMPARE(files, (QStringList{path(QStringLiteral("multi-1.jpg")), path(QStringLiteral("multi-2.jpg"))}));
    for (const QString &file : files)
        QVERIFY(QImage(file).width() == qRound(210 / 25.4 * 50));
    QVERIFY(!QFile::exists(path(QStringLiteral("multi.jpg"))));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.parcial")}), QStringList());
}

void TstReportEngine::preparedPagesRoundTrip()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 0; i < 80; ++i)
        source.addRow({i, QStringLiteral("Nome %1").arg(i), QVariant::fromValue(money(i * 1001))});
    Report report = listing(source);
    report.prepareReport();
    reportexport::toPdf(report.preparedPages(), path(QStringLiteral("before.pdf")));
    report.preparedPages().saveToFile(path(QStringLiteral("pages.qpg")));

    const PreparedReport loaded = PreparedReport::loadFromFile(path(QStringLiteral("pages.qpg")));
    reportexport::toPdf(loaded, path(QStringLiteral("after.pdf")));
    const QVector<PdfPage> before = readPdf(path(QStringLiteral("before.pdf")));
    const QVector<PdfPage> after = readPdf(path(QStringLiteral("after.pdf")));
    QCOMPARE(before.size(), 2);
    QCOMPARE(after.size(), before.size());
    for (int p = 0; p < before.size(); ++p) {
        QCOMPARE(after[p].text(), before[p].text());
        QCOMPARE(after[p].words.last().box, before[p].words.last().box);
    }
}

void TstReportEngine::brokenPagesFileIsRefused_data()
{
    QTest::addColumn<int>("keep"); // bytes of a good file kept
    QTest::newRow("empty") << 0;
    QTest::newRow("magic only") << 4;
    QTest::newRow("half") << -2;
    QTest::newRow("last byte missing") << -1;
}

void TstReportEngine::brokenPagesFileIsRefused()
{
    QFETCH(int, keep);
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    source.addRow({1, QStringLiteral("x"), QVariant::fromValue(money(1))});
    Report report = listing(source);
    report.prepareReport();
    QBuffer good;
    good.open(QIODevice::WriteOnly);
    report.preparedPages().save(good);
    QByteArray bytes = good.data();
    bytes.truncate(keep == -2 ? bytes.size() / 2 : keep == -1 ? bytes.size() - 1 : keep);
    QBuffer broken(&bytes);
    broken.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(ReportError, PreparedReport::load(broken));
}

void TstReportEngine::failedExportLeavesNoFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("target");
    QTest::newRow("pdf, no folder") << "pdf" << "missing/out.pdf";
    QTest::newRow("jpeg, no folder") << "jpg" << "missing/out.jpg";
    QTest::newRow("pdf onto a folder") << "pdf" << "folder";
    QTest::newRow("jpeg onto a folder") << "jpg" << "folder";
}

void TstReportEngine::failedExportLeavesNoFile()
{
    QFETCH(QString, format);
    QFETCH(QString, target);
    QDir(m_dir.path()).mkpath(QStringLiteral("folder"));
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    Report report = listing(source);
    report.prepareReport();
    const QString file = path(target);
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    try {
        if (format == QLatin1String("pdf"))
            reportexport::toPdf(report.preparedPages(), file);
        else
            reportexport::toJpeg(report.preparedPages(), file);
        QFAIL("the export reported success");
    } catch (const ReportError &error) {
        QVERIFY2(error.message().contains(file), qPrintable(error.message()));
    }
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
    QVERIFY(QFileInfo(path(QStringLiteral("folder"))).isDir());
}

void TstReportEngine::previewReportsFailureAndStaysOpen()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    Report report = listing(source);
    report.prepareReport();
    PreviewWindow preview(report.preparedPages());
    preview.show();
    errordisplay::clearLastError();
    QVERIFY(!preview.exportPdfTo(path(QStringLiteral("missing/x.pdf"))));
    QVERIFY(errordisplay::lastError().contains(QStringLiteral("Não foi possível gravar")));
    QVERIFY(preview.isVisible());
    errordisplay::clearLastError();
    QVERIFY(preview.exportPdfTo(path(QStringLiteral("preview.pdf"))));
    QCOMPARE(errordisplay::lastError(), QString());
    QCOMPARE(readPdf(path(QStringLiteral("preview.pdf"))).size(), 1);
    QVERIFY(!preview.openPagesFrom(path(QStringLiteral("preview.pdf"))));
    QCOMPARE(preview.report().pageCount(), 1);
}

void TstReportEngine::previewNavigatesAndFinds()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= 200; ++i)
        source.addRow({i, QStringLiteral("Cliente%1").arg(i), QVariant::fromValue(money(i))});
    Report report = listing(source);
    report.prepareReport();
    const int pages = report.preparedPages().pageCount();
    QVERIFY(pages >= 3);
    PreviewWindow preview(report.preparedPages());
    preview.resize(800, 600);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(preview.zoom(), 1.0);

    preview.showPage(pages + 5);
    QCOMPARE(preview.currentPage(), pages - 1);
    preview.showPage(-1);
    QCOMPARE(preview.currentPage(), 0);

    QVERIFY(preview.findText(QStringLiteral("cliente200")));
    QCOMPARE(preview.currentPage(), pages - 1);
    QVERIFY(preview.findText(QStringLiteral("Cliente1")));
    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(!preview.findText(QStringLiteral("ninguém")));
    QCOMPARE(preview.currentPage(), 0);

    preview.zoomIn();
    QCOMPARE(preview.zoom(), 1.25);
    preview.zoomOut();
    preview.zoomOut();
    QCOMPARE(preview.zoom(), 0.8);
    preview.zoomToPageWidth();
    QVERIFY(preview.zoom() < 1.0);
    QVERIFY(preview.findChild<QWidget *>(QStringLiteral("PageView"))->width() <= 800);
}

void TstReportEngine::datasetRowsAreListed()
{
    TempDatabase database;
    Module module(database.path());
    DataModule &dm = module.dm;
    dm.Base.open();
    PreparedStatement insert(dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA) "
                                                     "values (gen_id(GEN_RECIBOS_ID, 1), :EMITENTE, :VALOR, :DATA)"));
    for (int i = 1; i <= 3; ++i)
        insert.execute(dm.Tra, QVariantList{QStringLiteral("Pagador%1").arg(i), QVariant::fromValue(money(i * 100050)),
                                            QDate(2026, 3, i)});
    dm.Tra.commitRetaining();
    dm.Recibos.open();
    dm.Recibos.last();

    Report report(layoutfile::parse(
        QStringLiteral("layout x\nband D kind=data source=ibqEvento height=20\n"
                       "text A left=0 top=0 width=300 height=20 nowrap "
                       "text=\"[ibqEvento.\\\"EMITENTE\\\"] [ibqEvento.DATA] [ibqEvento.\\\"ID_RECIBO\\\"]\"\n"
                       "band S kind=summary height=20\n"
                       "text T left=0 top=0 width=300 height=20 format=%2.2n text=\"[SUM(<ibqEvento.VALOR>,D)]\"\n"),
        QStringLiteral("x")));
    DatasetSource rows(dm.Recibos);
    report.setDataSource(QStringLiteral("ibqEvento"), &rows);
    QSignalSpy moves(&dm.Recibos, &Dataset::currentChanged);
    const QVector<PdfPage> pages = render(report, QStringLiteral("dataset.pdf"));
    // Bound controls hear of the walk once, at its end.
    QCOMPARE(moves.count(), 1);
    QVERIFY(!dm.Recibos.controlsDisabled());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].text(), QStringLiteral("Pagador1 01/03/2026 1 Pagador2 02/03/2026 2 Pagador3 03/03/2026 3 6.003,00"));
    QVERIFY(dm.Recibos.active());

    report.findObject(QStringLiteral("A"))->setContent(TextTemplate::parse(QStringLiteral("[ibqEvento.NADA]")));
    QVERIFY_THROWS_EXCEPTION(ReportError, report.prepareReport());
    QVERIFY(!dm.Recibos.controlsDisabled());
}

void TstReportEngine::sumsRefuseWhatCannotBeAdded_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("total"); // empty: refused
    const QVariant largest = QVariant::fromValue(Numeric{std::numeric_limits<qint64>::max() - 1, -2});
    QTest::newRow("amounts and a null") << QVariantList{QVariant::fromValue(money(150)), QVariant(), QVariant(3)} << "4,50";
    QTest::newRow("past the largest amount") << QVariantList{largest, QVariant::fromValue(money(2))} << "";
    QTest::newRow("text") << QVariantList{QVariant::fromValue(money(150)), QVariant(QStringLiteral("dez"))} << "";
}

void TstReportEngine::sumsRefuseWhatCannotBeAdded()
{
    QFETCH(QVariantList, values);
    QFETCH(QString, total);
    MemoryDataSource source({QStringLiteral("VALOR")});
    for (const QVariant &value : values)
        source.addRow({value});
    Report report(layoutfile::parse(
        QStringLiteral("layout x\nband D kind=data source=ibqEvento height=20\n"
                       "band S kind=summary height=20\n"
                       "text T left=0 top=0 width=300 height=20 format=%2.2n text=\"[SUM(<ibqEvento.VALOR>,D)]\"\n"),
        QStringLiteral("x")));
    report.setDataSource(QStringLiteral("ibqEvento"), &source);
    if (total.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, report.prepareReport());
        return;
    }
    QCOMPARE(render(report, QStringLiteral("sum.pdf")).value(0).text(), total);
}

void TstReportEngine::printingDrawsTheSamePages()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= 90; ++i)
        source.addRow({i, QStringLiteral("Cliente%1").arg(i), QVariant::fromValue(money(i * 10))});
    Report report = listing(source);
    report.prepareReport();
    reportexport::toPdf(report.preparedPages(), path(QStringLiteral("exported.pdf")));
    PreviewWindow preview(report.preparedPages());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("printed.pdf")));
    QVERIFY(preview.printTo(printer));
    const QVector<PdfPage> exported = readPdf(path(QStringLiteral("exported.pdf")));
    const QVector<PdfPage> printed = readPdf(path(QStringLiteral("printed.pdf")));
    QCOMPARE(printed.size(), exported.size());
    for (int p = 0; p < printed.size(); ++p) {
        QCOMPARE(printed[p].text(), exported[p].text());
        // No scaling: every word where the export puts it.
        for (int w = 0; w < printed[p].words.size(); ++w)
            QVERIFY(qAbs(printed[p].words[w].box.left() - exported[p].words[w].box.left()) < kTolerance);
    }
}

void TstReportEngine::printingWithoutPrinterSaysSo()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("this machine has a printer");
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    Report report = listing(source);
    report.prepareReport();
    PreviewWindow preview(report.preparedPages());
    preview.show();
    errordisplay::clearLastError();
    preview.findChild<QAction *>(QStringLiteral("ACimprimir"))->trigger();
    QVERIFY(errordisplay::lastError().contains(QStringLiteral("Nenhuma impressora")));
    QVERIFY(preview.isVisible());
}

void TstReportEngine::previewWorksFromTheKeyboard_data()
{
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<int>("page"); // -1: the last
    QTest::addColumn<double>("zoom");

    using Keys = QList<QKeyCombination>;
    QTest::newRow("Page Down") << Keys{Qt::Key_PageDown} << 1 << 1.0;
    QTest::newRow("Page Down, Page Up") << Keys{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp} << 1 << 1.0;
    QTest::newRow("End") << Keys{Qt::Key_End} << -1 << 1.0;
    QTest::newRow("End, Home") << Keys{Qt::Key_End, Qt::Key_Home} << 0 << 1.0;
    QTest::newRow("Ctrl++") << Keys{Qt::CTRL | Qt::Key_Plus} << 0 << 1.25;
    QTest::newRow("Ctrl+= as the same key") << Keys{Qt::CTRL | Qt::Key_Equal} << 0 << 1.25;
    QTest::newRow("Ctrl+-") << Keys{Qt::CTRL | Qt::Key_Minus} << 0 << 0.8;
}

void TstReportEngine::previewWorksFromTheKeyboard()
{
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(int, page);
    QFETCH(double, zoom);
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= 200; ++i)
        source.addRow({i, QStringLiteral("Cliente%1").arg(i), QVariant::fromValue(money(i))});
    Report report = listing(source);
    report.prepareReport();
    PreviewWindow preview(report.preparedPages());
    bool closedByEsc = false;
    QTimer::singleShot(0, &preview, [&] {
        // A failed check below must not leave the modal window waiting.
        const auto closeAnyway = qScopeGuard([&] { preview.reject(); });
        preview.setWindowState(Qt::WindowNoState);
        preview.resize(800, 600);
        preview.activateWindow();
        if (!QTest::qWaitForWindowActive(&preview))
            return;
        for (const QKeyCombination key : keys)
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QCOMPARE(preview.currentPage(), page < 0 ? preview.report().pageCount() - 1 : page);
        QCOMPARE(preview.zoom(), zoom);
        // Ctrl+F takes the keys to the text to find; Esc closes from anywhere.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("EDlocalizar"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        closedByEsc = true;
    });
    preview.exec();
    QVERIFY(closedByEsc);
    QVERIFY(!preview.isVisible());
}

void TstReportEngine::previewCommandsHaveIconsAndTips()
{
    MemoryDataSource source({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    Report report = listing(source);
    report.prepareReport();
    PreviewWindow preview(report.preparedPages());
    // Both rows show every command on a 1366-pixel-wide desktop.
    preview.resize(1366, 740);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    const QList<QAction *> actions = preview.findChildren<QAction *>(QRegularExpression(QStringLiteral("^AC")));
    QCOMPARE(actions.size(), 15);
    for (QAction *action : actions) {
        const auto *row = qobject_cast<QToolBar *>(action->associatedObjects().value(0));
        QVERIFY2(row && row->widgetForAction(action)->isVisible(), qPrintable(action->objectName()));
        QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
        QVERIFY2(!action->toolTip().isEmpty() && action->toolTip() != action->text(), qPrintable(action->objectName()));
        if (!action->shortcut().isEmpty())
            QVERIFY2(action->toolTip().contains(action->shortcut().toString(QKeySequence::NativeText)),
                     qPrintable(action->toolTip()));
    }
}

QTEST_MAIN(TstReportEngine)
#include "tst_reportengine.moc"
