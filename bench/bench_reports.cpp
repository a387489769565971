// Prints how long the report engine takes: one receipt prepared and exported
// to PDF, two per sheet, JPEG at 150 dpi, and a banded listing of 100,000 rows.
#include "tests/common/Pictures.h"
#include "tests/common/SampleReceipt.h"
#include "receipts/ReceiptPrinting.h"
#include "reportengine/LayoutFile.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"

#include "data/Numeric.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Rows made as they are read, so that the figure is the engine's alone.
class GeneratedRows : public DataSource
{
public:
    explicit GeneratedRows(int count) : m_count(count) {}
    void first() override { m_row = 0; }
    void next() override { ++m_row; }
    bool eof() const override { return m_row >= m_count; }
    QVariant value(const QString &field) const override
    {
        if (field == QLatin1String("ID_RECIBO"))
            return m_row + 1;
        if (field == QLatin1String("DATA"))
            return QDate(2026, 1, 1).addDays(m_row % 365);
        if (field == QLatin1String("EMITENTE"))
            return QStringLiteral("Cliente número %1 da listagem").arg(m_row + 1);
        return QVariant::fromValue(Numeric{qint64(10000 + (m_row * 7919) % 1000000), -2});
    }

private:
    int m_count;
    int m_row = 0;
};

const char *kListing =
    "layout listing\n"
    "page paper=210x297 margins=5,10,5,15\n"
    "band rtPadrao kind=title height=41.57\n"
    "text Memo1 left=0 top=0 width=755.9 height=30.23 size=21px bold align=center valign=middle text=\"Todos os Recibos\"\n"
    "line Line1 left=0 top=34.01 width=755.9\n"
    "band phPadrao kind=pageheader height=22.67\n"
    "text Memo11 left=37.79 top=3.77 width=75.59 height=18.89 size=13px bold color=#ffffff fill=#808080 text=\"Nº Recibo\"\n"
    "text Memo2 left=113.38 top=3.77 width=79.37 height=18.89 size=13px bold color=#ffffff fill=#808080 text=\"Emissão\"\n"
    "text Memo9 left=192.75 top=3.77 width=393.07 height=18.89 size=13px bold color=#ffffff fill=#808080 text=\"Emitente\"\n"
    "text Memo5 left=585.82 top=3.77 width=120.94 height=18.89 size=13px bold color=#ffffff fill=#808080 text=\"Valor R$\"\n"
    "band MasterData1 kind=data source=ibqEvento height=15.11\n"
    "text Memo8 left=37.79 top=0 width=68.03 height=15.11 font=Tahoma size=11px nowrap align=center text=\"[ibqEvento.\\\"ID_RECIBO\\\"]\"\n"
    "text Memo3 left=113.38 top=0 width=71.81 height=15.11 font=Tahoma size=11px nowrap align=center text=\"[ibqEvento.\\\"DATA\\\"]\"\n"
    "text Memo6 left=192.75 top=0 width=381.73 height=15.11 font=Tahoma size=11px nowrap text=\"[ibqEvento.\\\"EMITENTE\\\"]\"\n"
    "text Memo4 left=585.82 top=0 width=120.94 height=15.11 font=Tahoma size=11px nowrap align=right format=%2.2n text=\"[ibqEvento.\\\"VALOR\\\"]\"\n"
    "band ReportSummary1 kind=summary height=22.67\n"
    "text Memo10 left=0 top=6.44 width=170.07 height=15.11 font=\"Segoe UI\" size=11px valign=middle text=\"Quindelo - Sistema de Recibos\"\n"
    "text Memo7 left=449.76 top=3.77 width=120.94 height=18.89 size=13px bold color=#ffffff fill=#808080 text=\"Valor Total R$\"\n"
    "text SysMemo4 left=585.04 top=4.55 width=120.94 height=18.89 size=11px align=right format=%2.2n frame=top framewidth=2 framestyle=squaredots text=\"[SUM(<ibqEvento.\\\"VALOR\\\">,MasterData1)]\"\n";

long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template <typename Job>
void timeIt(const char *label, int runs, Job job)
{
    job(); // fonts and caches warmed
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        job();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s median %7.1f ms   min %7.1f ms   (%d runs)\n", label, ms[ms.size() / 2], ms.front(), runs);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    QTemporaryDir dir;
    ReceiptValues values = sampleReceipt();
    values.logo = pictureBytes("PNG", {400, 200}, Qt::darkCyan);

    Report one = receiptLayout(ReceiptSheet::OnePerSheet);
    timeIt("one receipt per sheet: fill, prepare, PDF", 30, [&] {
        fillReceipt(one, ReceiptSheet::OnePerSheet, values);
        one.prepareReport();
        reportexport::toPdf(one.preparedPages(), dir.filePath(QStringLiteral("one.pdf")));
    });
    Report two = receiptLayout(ReceiptSheet::TwoPerSheet);
    timeIt("two receipts per sheet: fill, prepare, PDF", 30, [&] {
        fillReceipt(two, ReceiptSheet::TwoPerSheet, values);
        two.prepareReport();
        reportexport::toPdf(two.preparedPages(), dir.filePath(QStringLiteral("two.pdf")));
    });
    timeIt("one receipt per sheet: fill, prepare, JPEG 150 dpi", 10, [&] {
        fillReceipt(one, ReceiptSheet::OnePerSheet, values);
        one.prepareReport();
        reportexport::toJpeg(one.preparedPages(), dir.filePath(QStringLiteral("one.jpg")), 150);
    });

    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    Report listing(layoutfile::parse(QString::fromUtf8(kListing), QStringLiteral("listing")));
    GeneratedRows source(rows);
    listing.setDataSource(QStringLiteral("ibqEvento"), &source);
    QElapsedTimer timer;
    const double cpuStart = cpuSeconds();
    timer.start();
    listing.prepareReport();
    const double prepared = timer.nsecsElapsed() / 1e6;
    reportexport::toPdf(listing.preparedPages(), dir.filePath(QStringLiteral("listing.pdf")));
    const double total = timer.nsecsElapsed() / 1e6;
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("banded listing, %d rows, %d pages: prepare %.0f ms, PDF %.0f ms, total %.2f s, %.1f MB PDF\n", rows,
                listing.preparedPages().pageCount(), prepared, total - prepared, total / 1000,
                QFile(dir.filePath(QStringLiteral("listing.pdf"))).size() / 1e6);
    std::printf("  processor time %.2f s (the rest of the wall time went to other programs on this machine)\n", cpu);
    std::printf("peak memory (VmHWM): %.0f MB\n", peakMemoryKb() / 1024.0);
    return 0;
}
