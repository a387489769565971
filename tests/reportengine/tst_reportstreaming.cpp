#include "common/PdfText.h"
#include "common/ScreenTesting.h"

#include "data/Numeric.h"
#include "reportengine/PreviewWindow.h"
#include "reportengine/ProgressWindow.h"
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"
#include "reportengine/ReportPreparation.h"
#include "widgets/ErrorDisplay.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// Rows that count the walks through them.
class CountedRows : public MemoryDataSource
{
public:
    explicit CountedRows(int count) : MemoryDataSource({QStringLiteral("ID"), QStringLiteral("NOME"), QStringLiteral("VALOR")})
    {
        for (int i = 1; i <= count; ++i)
            addRow({i, QStringLiteral("Cliente %1").arg(i), QVariant::fromValue(Numeric{i * 101, -2})});
    }
    void beginRows() override { ++begun; }
    void endRows() override { ++ended; }

    int begun = 0;
    int ended = 0;
};

Report listing(DataSource &rows)
{
    Report report = Report::fromFile(QStringLiteral(":/listing.layout"));
    report.setDataSource(QStringLiteral("ibqEvento"), &rows);
    return report;
}

// What each page draws, text and place, to compare two preparations.
QStringList drawn(const PreparedReport &pages)
{
    QStringList lines;
    for (int p = 0; p < pages.pageCount(); ++p) {
        for (const Primitive &primitive : pages.page(p).primitives) {
            lines << QStringLiteral("%1 %2 %3,%4 %5x%6 %7")
                         .arg(p)
                         .arg(int(primitive.type))
                         .arg(primitive.rect.x())
                         .arg(primitive.rect.y())
                         .arg(primitive.rect.width())
                         .arg(primitive.rect.height())
                         .arg(primitive.text);
        }
    }
    return lines;
}

// A device that takes nothing, as a full disk does.
std::unique_ptr<QIODevice> fullDisk()
{
    auto device = std::make_unique<QFile>(QStringLiteral("/dev/full"));
    if (!device->open(QIODevice::ReadWrite))
        throw ReportError(device->errorString());
    return device;
}

} // namespace

class TstReportStreaming : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareScreenTests();
        registerReportFonts();
    }
    void init() { errordisplay::clearLastError(); }

    void pagesPastTheBudgetComeBackTheSame_data();
    void pagesPastTheBudgetComeBackTheSame();
    void fullTemporaryFolderSaysSo_data();
    void fullTemporaryFolderSaysSo();
    void pageByPageIsTheWholeReport();
    void cancelledExportLeavesNoFile_data();
    void cancelledExportLeavesNoFile();
    void previewGoesOnPreparing_data();
    void previewGoesOnPreparing();
    void previewOfCancelledReportStaysUsable();
    void progressOfAnUnknownLengthShowsAndCancels();
};

void TstReportStreaming::pagesPastTheBudgetComeBackTheSame_data()
{
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<bool>("inMemory");
    QTest::addColumn<bool>("inFile");
    QTest::newRow("all in memory") << qint64(64 << 20) << true << false;
    QTest::newRow("from the first page on") << qint64(0) << false << true;
    QTest::newRow("from a later page on") << qint64(60000) << true << true;
}

void TstReportStreaming::pagesPastTheBudgetComeBackTheSame()
{
    QFETCH(qint64, budget);
    QFETCH(bool, inMemory);
    QFETCH(bool, inFile);
    CountedRows rows(1000);
    Report report = listing(rows);
    report.prepareReport();

    PreparedReport kept(PageStoreLimits{budget, {}});
    ReportPreparer(report.layout(), report.dataSources()).prepare(kept);
    QCOMPARE(kept.bytesInMemory() > 0, inMemory);
    QCOMPARE(kept.bytesSpilled() > 0, inFile);
    QVERIFY(kept.pageCount() > 10);
    QCOMPARE(drawn(kept), drawn(report.preparedPages()));
    QCOMPARE(drawn(PreparedReport(kept)), drawn(kept));
}

void TstReportStreaming::fullTemporaryFolderSaysSo_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::newRow("preparing") << false;
    QTest::newRow("exporting while preparing") << true;
}

void TstReportStreaming::fullTemporaryFolderSaysSo()
{
    QFETCH(bool, exporting);
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    CountedRows rows(300);
    Report report = listing(rows);
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("grande.pdf"));
    try {
        ReportPreparation preparation(report, PageStoreLimits{0, &fullDisk});
        if (exporting)
            reportexport::toPdf(preparation, pdf);
        else
            preparation.finish();
        QFAIL("a full temporary folder went unnoticed");
    } catch (const ReportError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("não cabe no espaço livre da pasta temporária")),
                 qPrintable(error.message()));
    }
    QCOMPARE(rows.ended, rows.begun);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
}

void TstReportStreaming::pageByPageIsTheWholeReport()
{
    CountedRows rows(1000);
    Report report = listing(rows);
    report.prepareReport();
    const PreparedReport whole = report.preparedPages();

    ReportPreparation preparation(report);
    QVERIFY(preparation.reach(0));
    QCOMPARE(preparation.pages().pageCount(), 1);
    QVERIFY(preparation.reach(4));
    QCOMPARE(preparation.pages().pageCount(), 5);
    QVERIFY(preparation.preparing());
    preparation.finish();
    QCOMPARE(preparation.state(), ReportPreparation::State::Finished);
    QVERIFY(!preparation.reach(whole.pageCount()));
    QCOMPARE(drawn(preparation.pages()), drawn(whole));

    ReportPreparation cancelled(report);
    QVERIFY(cancelled.reach(2));
    cancelled.cancel();
    QCOMPARE(cancelled.state(), ReportPreparation::State::Cancelled);
    QVERIFY(!cancelled.reach(3));
    QCOMPARE(cancelled.pages().pageCount(), 3);
    QCOMPARE(rows.ended, rows.begun);
}

void TstReportStreaming::cancelledExportLeavesNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("PDF of prepared pages") << "pdf";
    QTest::newRow("PDF while preparing") << "pdf-preparing";
    QTest::newRow("JPEG") << "jpg";
}

void TstReportStreaming::cancelledExportLeavesNoFile()
{
    QFETCH(QString, kind);
    CountedRows rows(1000);
    Report report = listing(rows);
    report.prepareReport();
    ReportPreparation preparation(report);
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("relatorio.") + kind.left(3));
    const auto cancelAtThirdPage = [](int done) {
        if (done == 3)
            throw ReportCancelled();
    };
    if (kind == QLatin1String("pdf"))
        QVERIFY_THROWS_EXCEPTION(ReportCancelled, reportexport::toPdf(report.preparedPages(), file, {}, cancelAtThirdPage));
    else if (kind == QLatin1String("pdf-preparing"))
        QVERIFY_THROWS_EXCEPTION(ReportCancelled, reportexport::toPdf(preparation, file, {}, cancelAtThirdPage));
    else
        QVERIFY_THROWS_EXCEPTION(ReportCancelled, reportexport::toJpeg(report.preparedPages(), file, 30, cancelAtThirdPage));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
}

void TstReportStreaming::previewGoesOnPreparing_data()
{
    QTest::addColumn<bool>("lastPagePressed");
    QTest::newRow("between the user's input") << false;
    // "Última" goes to the last page of the whole report, not of what is prepared so far.
    QTest::newRow("Última pressed") << true;
}

void TstReportStreaming::previewGoesOnPreparing()
{
    QFETCH(bool, lastPagePressed);
    CountedRows rows(3000);
    Report report = listing(rows);
    report.prepareReport();
    const int pages = report.preparedPages().pageCount();

    ReportPreparation preparation(report);
    QVERIFY(preparation.reach(0));
    PreviewWindow preview(preparation);
    preview.resize(800, 600);
    // No event is handled before the checks: the preview prepares only between events.
    preview.show();
    auto *cancel = preview.findChild<QPushButton *>(QStringLiteral("BTcancelar"));
    auto *pageLabel = preview.findChild<QLabel *>(QStringLiteral("LBpagina"));
    QVERIFY(preview.preparing());
    QVERIFY(cancel->isVisible());
    preview.showPage(pages - 1);
    QVERIFY(preview.currentPage() < pages - 1);

    if (lastPagePressed) {
        preview.findChild<QAction *>(QStringLiteral("ACultima"))->trigger();
        QVERIFY(!preview.preparing());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!preview.preparing(), 60000);
        preview.showPage(pages - 1);
    }
    QCOMPARE(preview.report().pageCount(), pages);
    QVERIFY(!cancel->isVisible());
    QVERIFY(pageLabel->text().contains(QString::number(pages)));
    QCOMPARE(preview.currentPage(), pages - 1);
    QCOMPARE(rows.ended, rows.begun);
}

void TstReportStreaming::previewOfCancelledReportStaysUsable()
{
    CountedRows rows(3000);
    Report report = listing(rows);
    report.prepareReport();
    const int pages = report.preparedPages().pageCount();
    QTemporaryDir out;

    // An export while the preview prepares writes the whole report.
    {
        ReportPreparation preparation(report);
        QVERIFY(preparation.reach(0));
        PreviewWindow preview(preparation);
        preview.show();
        QVERIFY(preview.exportPdfTo(out.filePath(QStringLiteral("inteiro.pdf"))));
        QCOMPARE(readPdf(out.filePath(QStringLiteral("inteiro.pdf"))).size(), pages);
        QVERIFY(!preview.preparing());
        QVERIFY(preview.savePagesTo(out.filePath(QStringLiteral("inteiro.qpg"))));
    }

    ReportPreparation preparation(report);
    QVERIFY(preparation.reach(1));
    PreviewWindow preview(preparation);
    preview.show();
    QTest::mouseClick(preview.findChild<QPushButton *>(QStringLiteral("BTcancelar")), Qt::LeftButton);
    QVERIFY(!preview.preparing());
    const int kept = preview.report().pageCount();
    QVERIFY(kept < pages);
    QCOMPARE(rows.ended, rows.begun);

    const QString pdf = out.filePath(QStringLiteral("metade.pdf"));
    QVERIFY(!preview.exportPdfTo(pdf));
    QVERIFY(errordisplay::lastError().contains(QStringLiteral("incompleto")));
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(preview.isVisible());
    preview.showPage(kept - 1);
    QCOMPARE(preview.currentPage(), kept - 1);

    // Pages opened from a file are whole again.
    QVERIFY(preview.openPagesFrom(out.filePath(QStringLiteral("inteiro.qpg"))));
    QCOMPARE(preview.report().pageCount(), pages);
    QVERIFY(preview.exportPdfTo(pdf));
}

// A job that cannot say how long it is still gets its window, and "Cancelar" stops it.
void TstReportStreaming::progressOfAnUnknownLengthShowsAndCancels()
{
    QWidget screen;
    screen.show();
    ProgressWindow progress(QStringLiteral("Gravando..."), 0, &screen, QStringLiteral("linha"));
    auto *dialog = screen.findChild<QProgressDialog *>(QStringLiteral("ProgressWindow"));
    QVERIFY(dialog);
    QElapsedTimer waited;
    waited.start();
    qint64 done = 0;
    while (!dialog->isVisible() && waited.elapsed() < 20000)
        progress(++done);
    QVERIFY(dialog->isVisible());
    QVERIFY2(dialog->labelText().contains(QStringLiteral("linha")), qPrintable(dialog->labelText()));
    QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
    QVERIFY_THROWS_EXCEPTION(ReportCancelled, {
        while (waited.elapsed() < 40000)
            progress(++done);
    });
}

QTEST_MAIN(TstReportStreaming)
#include "tst_reportstreaming.moc"
