// "Todos os Recibos" over large periods, each figure beside its target:
// - 1,000,000 receipts in the preview: first page on screen, all pages done
//   while the preview answers input, peak memory, memory once it is closed;
//   and quindelo-export periodo of the same period to PDF, CSV and XLSX (time, peak memory);
// - 100,000 receipts from "Visualizar" to a PDF, beside a reportlab peer that
//   writes the same rows with the same fonts (/usr/bin/python3, python3-reportlab).
//   bench_periodo [FOLDER [preview|export|pdf]...]   (reuses the databases in FOLDER once
//   filled; runs the parts named, all of them when none is)
#include "bench/common/BenchDatabase.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"
#include "reportengine/PreviewWindow.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"
#include "reportengine/ReportMemory.h"
#include "reportengine/ReportPreparation.h"
#include "reports/RelatorioPeriodo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace {

const QDate kYearStart(2025, 1, 1);
const QDate kYearEnd(2025, 12, 31);
const QDate kAllStart(2020, 1, 1);
const QDate kAllEnd(2030, 12, 31);

double statusMb(const QString &file, const char *key)
{
    QFile status(file);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

double residentMb()
{
    return statusMb(QStringLiteral("/proc/self/status"), "VmRSS:");
}

// Peak resident memory since the last resetPeak, in MB.
double peakMb()
{
    return statusMb(QStringLiteral("/proc/self/status"), "VmHWM:");
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

double processorSeconds(const rusage &usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return processorSeconds(usage);
}

// Wall and processor time of a step: on a shared machine other programs
// stretch the first, seldom the second.
class Clock
{
public:
    Clock() : m_cpu(processorSeconds()) { m_wall.start(); }
    double wall() const { return seconds(m_wall); }
    double cpu() const { return processorSeconds() - m_cpu; }

private:
    QElapsedTimer m_wall;
    double m_cpu;
};

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

// The longest the event loop went without turning while the preview prepared.
class LoopWatch
{
public:
    LoopWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_sinceTick.nsecsElapsed() / 1e6);
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_timer.start();
    }
    double longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_longest = 0;
};

void benchPreview(DataModule &dm, int receipts)
{
    RelatorioPeriodo relatorio(kTodosRecibos, dm);
    dm.Base.open();
    reportmemory::releaseFreedMemory();
    const double before = residentMb();
    resetPeak();

    std::printf("\n\"Todos os Recibos\", %d receipts, in the preview\n", receipts);
    const Clock clock;
    relatorio.abreConsulta(kAllStart, kAllEnd);
    const double opened = clock.wall();
    const double openedCpu = clock.cpu();
    // As showReport does before the window opens.
    auto preparation = std::make_unique<ReportPreparation>(relatorio.frpEvento());
    preparation->reach(0);
    const double prepared = clock.wall();
    const double preparedCpu = clock.cpu();
    auto preview = std::make_unique<PreviewWindow>(*preparation);
    preview->resize(1024, 768);
    preview->show();
    preview->findChild<QWidget *>(QStringLiteral("PageView"))->grab();
    const double firstPage = clock.wall();
    std::printf("  first page on screen      %7.2f s  (%.2f s processor)   target < 1 s: %s\n", firstPage, clock.cpu(),
                verdict(firstPage < 1));
    std::printf("    of which: query opened %.2f s (%.2f s processor), first page prepared %.2f s (%.2f s processor)\n",
                opened, openedCpu, prepared - opened, preparedCpu - openedCpu);

    {
        LoopWatch watch;
        while (preview->preparing())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        std::printf("  all %d pages done       %7.2f s  (%.2f s processor), input answered within %.0f ms\n",
                    preparation->pages().pageCount(), clock.wall(), clock.cpu(), watch.longestMs());
    }
    const double peak = peakMb();
    std::printf("  peak memory               %7.0f MB (%.0f MB before)          target < 300 MB: %s\n", peak, before,
                verdict(peak < 300));
    std::printf("  pages kept: %.1f MB in memory, %.1f MB in the temporary file\n",
                preparation->pages().bytesInMemory() / 1048576.0,
                preparation->pages().bytesSpilled() / 1048576.0);

    preview.reset();
    preparation.reset();
    reportmemory::releaseFreedMemory();
    const double after = residentMb();
    std::printf("  memory after closing      %7.0f MB (%+.0f MB)                 target within 50 MB: %s\n", after,
                after - before, verdict(after - before < 50));
}

// One run of a command: its own time and peak memory (sampled every 10 ms).
struct ChildRun
{
    int exitCode = -1;
    double wall = 0;
    double cpu = 0;
    double peakMb = 0;
};

ChildRun runChild(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("the command could not be started");
    // The kernel's ru_maxrss of a spawned child starts from this process's own
    // peak, so the child's high-water mark is read while it runs instead.
    const QString status = QStringLiteral("/proc/%1/status").arg(child);
    ChildRun run;
    int exitStatus = 0;
    rusage usage{};
    for (;;) {
        const pid_t waited = wait4(child, &exitStatus, WNOHANG, &usage);
        if (waited == child)
            break;
        if (waited != 0)
            throw std::runtime_error("the command could not be waited for");
        run.peakMb = qMax(run.peakMb, statusMb(status, "VmHWM:"));
        usleep(10000);
    }
    run.exitCode = WIFEXITED(exitStatus) ? WEXITSTATUS(exitStatus) : -1;
    run.wall = seconds(timer);
    run.cpu = processorSeconds(usage);
    return run;
}

// quindelo-export periodo of every receipt into one file of each output it has.
void benchExportCommand(const QString &database, const QString &folder)
{
    for (const char *suffix : {"pdf", "csv", "xlsx"}) {
        const QString file = QDir(folder).filePath(QStringLiteral("export.") + QLatin1String(suffix));
        const ChildRun run = runChild(QStringLiteral(QUINDELO_EXPORT),
                                      {QStringLiteral("periodo"), kAllStart.toString(Qt::ISODate),
                                       kAllEnd.toString(Qt::ISODate), QStringLiteral("--banco"), database,
                                       QStringLiteral("-o"), file});
        if (run.exitCode != 0)
            throw std::runtime_error("quindelo-export periodo failed");
        std::printf("  quindelo-export periodo, %-4s %7.2f s  (%.2f s processor), %.0f MB file, peak memory %.0f MB   "
                    "target < 300 MB: %s\n",
                    suffix, run.wall, run.cpu, QFileInfo(file).size() / 1048576.0, run.peakMb,
                    verdict(run.peakMb < 300));
        QFile::remove(file);
    }
}

// The rows of the year as the peer reads them: TIPO, ID_RECIBO, DATA, EMITENTE, VALOR in cents.
void writeRows(DataModule &dm, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the peer's rows");
    QTextStream out(&file);
    PreparedStatement rows(dm.Base, QStringLiteral("select TIPO, ID_RECIBO, DATA, EMITENTE, VALOR from RECIBOS "
                                                   "where (Data>=:pini and Data<=:pfim)"));
    auto cursor = rows.openCursor(dm.Tra, {kYearStart, kYearEnd});
    Row row;
    while (cursor->fetch(row)) {
        out << row.at(0).toString() << '\t' << row.at(1).toInt() << '\t' << row.at(2).toDate().toString(Qt::ISODate)
            << '\t' << row.at(3).toString() << '\t' << row.at(4).value<Numeric>().units << '\n';
    }
}

void benchPdf(DataModule &dm, const QString &folder, int receipts)
{
    RelatorioPeriodo relatorio(kTodosRecibos, dm);
    dm.Base.open();
    const QString pdf = QDir(folder).filePath(QStringLiteral("periodo.pdf"));
    reportmemory::releaseFreedMemory();
    resetPeak();
    const double before = residentMb();

    std::printf("\n\"Todos os Recibos\", %d receipts, \"Visualizar\" to PDF\n", receipts);
    const Clock clock;
    relatorio.abreConsulta(kYearStart, kYearEnd);
    ReportPreparation preparation(relatorio.frpEvento());
    reportexport::toPdf(preparation, pdf);
    const double ours = clock.wall();
    const double oursCpu = clock.cpu();
    std::printf("  Quindelo                  %7.2f s  (%.2f s processor), %d pages, %.1f MB PDF, peak memory %.0f MB "
                "(%.0f MB before)\n",
                ours, oursCpu, preparation.pages().pageCount(), QFileInfo(pdf).size() / 1048576.0, peakMb(), before);

    const QString rows = QDir(folder).filePath(QStringLiteral("rows.tsv"));
    writeRows(dm, rows);
    const QString peerPdf = QDir(folder).filePath(QStringLiteral("peer.pdf"));
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(PEER_SCRIPT), rows, peerPdf});
    if (!peer.waitForFinished(-1) || peer.exitCode() != 0) {
        std::printf("  reportlab peer            did not run (is python3-reportlab installed?)\n");
        return;
    }
    // The peer times itself from reading the rows to the closed PDF.
    const QList<QByteArray> figures = peer.readAllStandardOutput().trimmed().split(' ');
    const double theirs = figures.value(0).toDouble();
    std::printf("  reportlab peer            %7.2f s  (%.2f s processor), %.1f MB PDF, peak memory %.0f MB\n", theirs,
                figures.value(1).toDouble(), QFileInfo(peerPdf).size() / 1048576.0, figures.value(2).toDouble());
    std::printf("  Quindelo / peer           %7.2f (wall), %.2f (processor)      target <= 1: %s\n", ours / theirs,
                oursCpu / figures.value(1).toDouble(), verdict(ours <= theirs));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    QTemporaryDir scratch;
    const QString folder = app.arguments().value(1, scratch.path());
    const QStringList parts = app.arguments().mid(2);
    const auto wanted = [&parts](const char *part) { return parts.isEmpty() || parts.contains(QLatin1String(part)); };

    try {
        benchdb::Contents year;
        year.clients = 0;
        year.receipts = 100000;
        year.firstDay = kYearStart;
        year.days = int(kYearStart.daysTo(kYearEnd)) + 1;
        const QString yearDb = benchdb::prepare(folder, QStringLiteral("BENCH_REPORTS.FDB"), year);
        const QString allDb = benchdb::prepare(folder, QStringLiteral("BENCH-PERIODO.FDB"), benchdb::Contents());

        if (wanted("preview")) {
            DataModule dm(scratch.path());
            dm.Base.setDatabaseName(allDb);
            benchPreview(dm, benchdb::kReceipts);
        }
        if (wanted("export"))
            benchExportCommand(allDb, scratch.path());
        if (wanted("pdf")) {
            DataModule dm(scratch.path());
            dm.Base.setDatabaseName(yearDb);
            benchPdf(dm, scratch.path(), year.receipts);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_periodo: %s\n", error.what());
        return 1;
    }
    return 0;
}
