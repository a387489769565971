// The receipt lookup over a big RECIBOS table: its grid taken from the first
// row to the last (the thumb dragged to the bottom), then, for comparison, the
// same list read row by row to its end by scrolling down. Prints the time taken
// (wall clock and CPU time of the process) and how much the process grew.
//   bench_grid [ROWS [FOLDER]]   (default 1,000,000 rows in a temporary folder;
//   FOLDER/GRID.FDB is filled once and then reused)
#include "bench/common/BenchDatabase.h"
#include "clients/FRconsultarec.h"
#include "data/Datamodule1.h"
#include "tests/common/ScreenTesting.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <ctime>

namespace {

constexpr double kTargetSeconds = 2.0;
constexpr long kTargetMb = 200;

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QString lastShown(const DBGrid &grid)
{
    const QAbstractItemModel *model = grid.model();
    int row = grid.rowAt(grid.viewport()->height() - 1);
    if (row < 0)
        row = model->rowCount() - 1;
    return model->index(row, 1).data().toString();
}

void report(const char *what, double wall, double cpu, long grownKb, int rowsRead)
{
    std::printf("%s: %.2f s wall, %.2f s CPU (target < %.0f s); memory growth %ld MB (target < %ld MB); %d rows read\n",
                what, wall, cpu, kTargetSeconds, grownKb / 1024, kTargetMb, rowsRead);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    bool counted = true;
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt(&counted) : 1000000;
    if (!counted || rows < 1) {
        std::fprintf(stderr, "usage: bench_grid [ROWS [FOLDER]]  (ROWS a positive number)\n");
        return 2;
    }

    QTemporaryDir temporary;
    benchdb::Contents contents;
    contents.clients = 0;
    contents.receipts = rows;
    const QString path = benchdb::prepare(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path(),
                                          QStringLiteral("GRID.FDB"), contents);
    DataModule dm(temporary.path());
    dm.Base.setDatabaseName(path);
    dm.Base.open();
    dm.Tra.startTransaction();
    QElapsedTimer timer;

    // The lookup as the receipt editor's Find shows it: every receipt, oldest first.
    FRconsultarecForm lookup(dm);
    lookup.resize(800, 600);
    long before = residentKb();
    double cpu = cpuSeconds();
    timer.start();
    lookup.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    DBGrid &grid = *lookup.DBGrid1;
    std::printf("first screen: %.1f ms wall, %.1f ms CPU, %d rows read\n", timer.nsecsElapsed() / 1e6,
                (cpuSeconds() - cpu) * 1e3, dm.Recibos.rowCount());

    cpu = cpuSeconds();
    timer.restart();
    dragThumbToBottom(grid.verticalScrollBar());
    QCoreApplication::processEvents();
    const QString last = lastShown(grid);
    report("thumb dragged from the first row to the last", timer.elapsed() / 1000.0, cpuSeconds() - cpu, residentKb() - before,
           dm.Recibos.rowCount());
    std::printf("  last row shown: n=%s\n", qPrintable(last));
    lookup.close();

    // Every row on the way: the scroll bar taken down again and again, each time reading the next rows.
    dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
    DBGrid plain(QStringLiteral("DBGrid1"));
    plain.setDataset(&dm.Recibos, {{QStringLiteral("TIPO"), QStringLiteral("Pagamento/Recebimento"), 140},
                                   {QStringLiteral("ID_RECIBO"), QString::fromUtf8("nº"), 52},
                                   {QStringLiteral("DATA"), QString::fromUtf8("Emissão"), 71},
                                   {QStringLiteral("EMITENTE"), QString::fromUtf8("Nome/Razão Social"), 300},
                                   {QStringLiteral("VALOR"), QStringLiteral("Valor do Recibo"), 112}});
    plain.resize(720, 480);
    plain.show();
    QCoreApplication::processEvents();
    before = residentKb();
    cpu = cpuSeconds();
    timer.restart();
    QScrollBar *bar = plain.verticalScrollBar();
    int drags = 0;
    while (plain.model()->canFetchMore({})) {
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        ++drags;
    }
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    std::printf("every row read by scrolling down (%d drags): %.2f s wall, %.2f s CPU; memory growth %ld MB "
                "(%.0f bytes per row); last row shown: n=%s\n",
                drags, timer.elapsed() / 1000.0, cpuSeconds() - cpu, (residentKb() - before) / 1024,
                (residentKb() - before) * 1024.0 / qMax(1, rows), qPrintable(lastShown(plain)));
    return last.toInt() == rows && lastShown(plain).toInt() == rows ? 0 : 1;
}
