// Per keystroke in the client lookup over 100,000 clients: the query that each
// change of the entry issues plus the grid's refresh (model reset, the visible
// rows fetched and painted).
//   bench_lookup [FOLDER]   (reuses FOLDER/LOOKUP.FDB when it is already filled)
#include "clients/FRconsultacli.h"
#include "clients/LookupQueries.h"
#include "widgets/CaseEdit.h"
#include "widgets/DBGrid.h"
#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

constexpr int kClients = 100000;

const char *const kFirstNames[] = {"ANA", "ANTONIO", "BEATRIZ", "BRUNO", "CARLOS", "CLARA", "DANIEL", "EDUARDO",
                                   "FERNANDA", "GABRIEL", "HELENA", "JOAO", "JOSE", "JULIA", "LUCAS", "MARIA",
                                   "MARCOS", "PAULO", "PEDRO", "RAFAEL", "SILVIA", "TIAGO", "VITORIA", "ZILDA"};
const char *const kSurnames[] = {"ALMEIDA", "ALVES", "BARBOSA", "CARDOSO", "COSTA", "FERREIRA", "GOMES", "LIMA",
                                 "MARTINS", "OLIVEIRA", "PEREIRA", "RIBEIRO", "RODRIGUES", "SANTOS", "SILVA", "SOUZA"};

QString clientName(int i)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(kFirstNames[i % 24]), QLatin1String(kSurnames[(i / 24) % 16]))
        .arg(i, 6, 10, QLatin1Char('0'));
}

void fill(DataModule &dm)
{
    dm.Base.open();
    dm.Tra.startTransaction();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "INSERT INTO CLIENTES (ID_CLIENTE, CLIENTE, CIDADE, UF, CPF, CLASSIFICACAO) "
        "VALUES (GEN_ID(GEN_CLIENTES_ID, 1), ?, 'RECIFE', 'PE', ?, ?)"));
    for (int i = 1; i <= kClients; ++i) {
        insert.execute(dm.Tra, QVariantList{clientName(i), QStringLiteral("%1.456.789-01").arg(i % 1000, 3, 10, QLatin1Char('0')),
                                            i % 3 ? QStringLiteral("FÍSICA") : QStringLiteral("JURÍDICA")});
    }
    dm.Tra.commitRetaining();
}

// CPU time of the whole process, which a loaded machine does not inflate as it does the wall clock.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[size_t(p * double(values.size() - 1))];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTemporaryDir scratch;
    const QString folder = app.arguments().value(1, scratch.path());
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("LOOKUP.FDB"));

    DataModule dm(scratch.path());
    dm.Base.setDatabaseName(path);
    Datamodule1 = &dm;
    try {
        if (!QFile::exists(path)) {
            databasecreator::create(path);
            QElapsedTimer timer;
            timer.start();
            fill(dm);
            std::printf("fill: %d clients in %.1f s\n", kClients, double(timer.elapsed()) / 1000);
        }

        FRconsultacliForm lookup;
        lookup.resize(800, 600);
        lookup.show();
        QLineEdit *entry = lookup.EDlocalizar;
        QAbstractItemView *grid = lookup.DBGrid1;
        std::vector<double> typed, erased, cpu;
        for (int c = 0; c < 40; ++c) {
            const QString name = clientName(1 + c * 2477);
            for (int length = 1; length <= 10; ++length) {
                QElapsedTimer timer;
                const double cpuStart = cpuMs();
                timer.start();
                QTest::keyClick(entry, name.at(length - 1).toLatin1());
                QCoreApplication::processEvents();
                grid->viewport()->repaint();
                typed.push_back(double(timer.nsecsElapsed()) / 1e6);
                cpu.push_back(cpuMs() - cpuStart);
            }
            while (!entry->text().isEmpty()) {
                QElapsedTimer timer;
                const double cpuStart = cpuMs();
                timer.start();
                QTest::keyClick(entry, Qt::Key_Backspace);
                QCoreApplication::processEvents();
                grid->viewport()->repaint();
                erased.push_back(double(timer.nsecsElapsed()) / 1e6);
                cpu.push_back(cpuMs() - cpuStart);
            }
        }
        // The query alone, as each keystroke issues it, for comparison.
        std::vector<double> queryOnly;
        for (int c = 0; c < 40; ++c) {
            const QString name = clientName(1 + c * 2477);
            for (int length = 1; length <= 10; ++length) {
                QElapsedTimer timer;
                timer.start();
                lookupqueries::search(dm.Clientes, lookupqueries::clientesByPrefix(), name.left(length));
                queryOnly.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
        }
        std::vector<double> all = typed;
        all.insert(all.end(), erased.begin(), erased.end());
        std::printf("client lookup over %d clients, per keystroke (query + grid refresh), %zu keystrokes:\n"
                    "  all:     median %.2f ms, p90 %.2f ms, max %.2f ms (wall clock)\n"
                    "  all:     median %.2f ms CPU time of the process\n"
                    "  typed:   median %.2f ms (%zu)\n"
                    "  erased:  median %.2f ms (%zu; the shortest prefixes match the most rows)\n"
                    "  query alone (re-issue + first row, no grid): median %.2f ms\n",
                    kClients, all.size(), percentile(all, 0.5), percentile(all, 0.9), percentile(all, 1.0), percentile(cpu, 0.5),
                    percentile(typed, 0.5), typed.size(), percentile(erased, 0.5), erased.size(), percentile(queryOnly, 0.5));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
