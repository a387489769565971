// Times a backup made through the backup screen against Firebird's own
// `gbak -b` of the same database (100,000 clients, 1,000,000 receipts).
//   bench_backup [FOLDER [HOST/PORT]]   (reuses FOLDER/BENCH-BACKUP.FDB when it is already filled)
// With HOST/PORT both go through that server's service manager, which must be
// on this machine and may read FOLDER; the database is filled here first.
#include "bench/common/BenchDatabase.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "maintenance/DatabaseBackup.h"
#include "maintenance/frmBackup.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = app.arguments().value(1, scratch.path());
    const QString server = app.arguments().value(2);

    try {
        // A server opens it by its full path.
        const QString path = QFileInfo(benchdb::prepare(folder, QStringLiteral("BENCH-BACKUP.FDB"), benchdb::Contents()))
                                 .absoluteFilePath();
        std::printf("database: %.1f MB\n", QFileInfo(path).size() / 1048576.0);

        const QDate today(2026, 12, 8);
        const QString destination = QDir(folder).filePath(QStringLiteral("programa.fdb"));
        const QString ours = DatabaseBackup::fileName(destination, today);
        const QString theirs = QDir(folder).filePath(QStringLiteral("gbak.gbk"));
        DataModule dm(scratch.path());
        dm.Base.setDatabaseName(server.isEmpty() ? path : server + QLatin1Char(':') + path);
        QStringList gbak{QStringLiteral("-b"), QStringLiteral("-user"), QStringLiteral("sysdba"),
                         QStringLiteral("-password"), QStringLiteral("tarvolimb")};
        if (!server.isEmpty())
            gbak << QStringLiteral("-se") << server + QStringLiteral(":service_mgr");
        gbak << path << theirs;
        frmBackupForm screen({[&dm]() -> Database & { return dm.Base; }, [] {}, {}, {}});
        screen.setToday([&] { return today; });
        screen.show();
        auto *progress = screen.findChild<QPlainTextEdit *>(QStringLiteral("memProgresso"));
        std::vector<double> oursTimes, gbakTimes;
        int lines = 0;
        for (int round = 0; round < 5; ++round) {
            // Both start without an earlier file, so neither pays for deleting one.
            QFile::remove(ours);
            QElapsedTimer timer;
            timer.start();
            screen.findChild<QLineEdit *>(QStringLiteral("edtDestino"))->setText(destination);
            screen.Panel1Click();
            oursTimes.push_back(seconds(timer));
            if (!QFile::exists(ours)) {
                std::fprintf(stderr, "the screen's backup failed\n");
                return 1;
            }
            lines += progress->document()->blockCount();

            QFile::remove(theirs);
            timer.start();
            const int code = QProcess::execute(QStringLiteral("gbak"), gbak);
            gbakTimes.push_back(seconds(timer));
            if (code != 0) {
                std::fprintf(stderr, "gbak -b failed with code %d\n", code);
                return 1;
            }
        }
        std::printf("service manager: %s\n", server.isEmpty() ? "embedded engine" : qPrintable(server));
        std::printf("backup through the screen (verbose, %d progress lines per run): median %.2f s, file %.1f MB\n",
                    lines / 5, median(oursTimes), QFileInfo(ours).size() / 1048576.0);
        std::printf("gbak -b%s: median %.2f s, file %.1f MB\n",
                    server.isEmpty() ? "" : qPrintable(QStringLiteral(" -se ") + server + QStringLiteral(":service_mgr")),
                    median(gbakTimes), QFileInfo(theirs).size() / 1048576.0);
        std::printf("ratio program / gbak: %.2f (target <= 1.1)\n", median(oursTimes) / median(gbakTimes));
        QFile::remove(ours);
        QFile::remove(theirs);
    } catch (const DatabaseError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
