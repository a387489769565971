// A period holding 100,000 receipts: time and peak memory from "Visualizar"
// (query opened) to prepared pages, and from there to a PDF file.
//   bench_periodo [FOLDER]   (reuses FOLDER/BENCH_REPORTS.FDB when it is already filled)
#include "bench/common/BenchDatabase.h"
#include "data/Datamodule1.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"
#include "reports/RelatorioPeriodo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>
#include <exception>

namespace {

constexpr int kReceipts = 100000;
const QDate kFirstDay(2025, 1, 1);
const QDate kLastDay(2025, 12, 31);

// Peak resident memory since the last reset, in MB.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Processor time of the process so far (user and system), which other work on
// a shared machine does not inflate as it does the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    QTemporaryDir scratch;

    try {
        benchdb::Contents contents;
        contents.clients = 0;
        contents.receipts = kReceipts;
        contents.firstDay = kFirstDay;
        contents.days = int(kFirstDay.daysTo(kLastDay)) + 1;
        const QString path =
            benchdb::prepare(app.arguments().value(1, scratch.path()), QStringLiteral("BENCH_REPORTS.FDB"), contents);

        DataModule dm(scratch.path());
        dm.Base.setDatabaseName(path);
        RelatorioPeriodo relatorio(kTodosRecibos, dm);
        dm.Base.open();
        const double baseMb = peakMb();
        resetPeak();

        QElapsedTimer timer;
        timer.start();
        double cpu = cpuSeconds();
        relatorio.abreConsulta(kFirstDay, kLastDay);
        relatorio.frpEvento().prepareReport();
        const double prepared = seconds(timer);
        const double preparedCpu = cpuSeconds() - cpu;
        const double preparedPeak = peakMb();
        const int pages = relatorio.frpEvento().preparedPages().pageCount();

        const QString pdf = QDir(scratch.path()).filePath(QStringLiteral("periodo.pdf"));
        timer.restart();
        cpu = cpuSeconds();
        reportexport::toPdf(relatorio.frpEvento().preparedPages(), pdf);
        const double exported = seconds(timer);
        const double exportedCpu = cpuSeconds() - cpu;

        std::printf("\"Todos os Recibos\", %d receipts in the period, %d pages\n", kReceipts, pages);
        std::printf("Visualizar to prepared pages: %.2f s (%.2f s processor), peak memory %.0f MB (%.0f MB before)\n",
                    prepared, preparedCpu, preparedPeak, baseMb);
        std::printf("prepared pages to PDF: %.2f s (%.2f s processor), %.1f MB file\n", exported, exportedCpu,
                    QFileInfo(pdf).size() / 1048576.0);
        std::printf("Visualizar to PDF: %.2f s (%.2f s processor), peak memory %.0f MB\n", prepared + exported,
                    preparedCpu + exportedCpu, peakMb());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_periodo: %s\n", error.what());
        return 1;
    }
    return 0;
}
