// Scrolls the receipts grid from the first to the last row of a big RECIBOS
// table and prints the time taken and how much the process grew.
//   bench_grid [ROWS [FOLDER]]   (default 1,000,000 rows in a temporary folder;
//   FOLDER/GRID.FDB is filled once and then reused)
#include "bench/common/BenchDatabase.h"
#include "data/Datamodule1.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace {

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;

    QTemporaryDir temporary;
    benchdb::Contents contents;
    contents.clients = 0;
    contents.receipts = rows;
    const QString path = benchdb::prepare(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path(),
                                          QStringLiteral("GRID.FDB"), contents);
    DataModule dm(temporary.path());
    dm.Base.setDatabaseName(path);
    QElapsedTimer timer;

    const long before = residentKb();
    timer.start();
    dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
    DBGrid grid(QStringLiteral("DBGrid1"));
    grid.setDataset(&dm.Recibos, {{QStringLiteral("TIPO"), QStringLiteral("Pagamento/Recebimento"), 140},
                                  {QStringLiteral("ID_RECIBO"), QString::fromUtf8("nº"), 52},
                                  {QStringLiteral("DATA"), QString::fromUtf8("Emissão"), 71},
                                  {QStringLiteral("EMITENTE"), QString::fromUtf8("Nome/Razão Social"), 300},
                                  {QStringLiteral("VALOR"), QStringLiteral("Valor do Recibo"), 112}});
    grid.resize(720, 480);
    grid.show();
    // Showing posts the layout, and the layout asks for the first rows.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("first screen: %.1f ms, %d rows read\n", timer.nsecsElapsed() / 1e6, dm.Recibos.rowCount());

    // The user drags the scroll bar to the bottom again and again: each time the
    // grid reads the next rows.
    timer.restart();
    QScrollBar *bar = grid.verticalScrollBar();
    int drags = 0;
    while (grid.model()->canFetchMore({})) {
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        ++drags;
    }
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const double seconds = timer.elapsed() / 1000.0;
    const long grown = residentKb() - before;
    std::printf("scrolled to row %d in %.2f s (%d drags, %.1f us per row)\n", grid.model()->rowCount(), seconds, drags,
                seconds * 1e6 / qMax(1, grid.model()->rowCount()));
    std::printf("memory growth: %ld MB (%.0f bytes per row)\n", grown / 1024, grown * 1024.0 / qMax(1, rows));
    const QString last = grid.model()->index(grid.model()->rowCount() - 1, 1).data().toString();
    std::printf("last row shown: n=%s\n", qPrintable(last));
    return last.toInt() == rows ? 0 : 1;
}
