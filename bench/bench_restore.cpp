// Times a restore made through the backup screen against Firebird's own
// `gbak -c` of the same backup file (100,000 clients, 1,000,000 receipts).
// The screen's safety backup comes first and is timed apart.
//   bench_restore [FOLDER [ROUNDS]]   (reuses FOLDER/BENCH-RESTORE.FDB and its backup when there)
#include "bench/common/BenchDatabase.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "maintenance/DatabaseBackup.h"
#include "maintenance/DatabaseRestore.h"
#include "maintenance/frmBackup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double seconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e9;
}

void removeMatching(const QDir &folder, const QString &pattern)
{
    for (const QString &name : folder.entryList({pattern}, QDir::Files))
        QFile::remove(folder.filePath(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTemporaryDir scratch;
    const QString folderPath = app.arguments().value(1, scratch.path());
    const int rounds = qMax(1, app.arguments().value(2, QStringLiteral("3")).toInt());
    const QDir folder(folderPath);

    try {
        const QString path = QFileInfo(benchdb::prepare(folderPath, QStringLiteral("BENCH-RESTORE.FDB"), benchdb::Contents()))
                                 .absoluteFilePath();
        const QDir backups(folder.filePath(QStringLiteral("Backup")));
        backups.mkpath(QStringLiteral("."));
        const QString backupFile = backups.filePath(QStringLiteral("BENCH-RESTORE.gbk"));
        if (!QFile::exists(backupFile))
            DatabaseBackup(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword).run(path, backupFile);
        std::printf("database: %.1f MB, backup: %.1f MB\n", QFileInfo(path).size() / 1048576.0,
                    QFileInfo(backupFile).size() / 1048576.0);

        DataModule dm(scratch.path());
        dm.Base.setDatabaseName(path);
        const auto question = createMessageDialog(QStringLiteral("FRmensagem15"));
        int restored = 0;
        frmBackupForm screen({[&dm]() -> Database & { return dm.Base; }, [] {},
                              [&question]() -> MessageDialog & { return *question; }, [&restored] { ++restored; }});
        screen.show();
        auto *progress = screen.findChild<QPlainTextEdit *>(QStringLiteral("memProgresso"));
        auto *list = screen.findChild<QListWidget *>(QStringLiteral("LBbackups"));
        auto *panel2 = screen.findChild<QPushButton *>(QStringLiteral("Panel2"));

        // The restore proper begins with the line that names it, after the
        // safety backup; the lines of the check and of the swap mark its parts.
        QElapsedTimer timer;
        qint64 restoreStarted = 0, checkStarted = 0, swapStarted = 0;
        QObject::connect(progress, &QPlainTextEdit::blockCountChanged, [&] {
            const QTextBlock last = progress->document()->lastBlock();
            for (const QString &text : {last.text(), last.previous().text()}) {
                if (!restoreStarted && text.startsWith(QLatin1String("Restaurando ")))
                    restoreStarted = timer.nsecsElapsed();
                if (!checkStarted && text.startsWith(QLatin1String("Conferindo ")))
                    checkStarted = timer.nsecsElapsed();
                if (!swapStarted && text.startsWith(QLatin1String("Guardando ")))
                    swapStarted = timer.nsecsElapsed();
            }
        });

        // A failure's message box is printed and closed, so that the round ends.
        QTimer errors;
        QObject::connect(&errors, &QTimer::timeout, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                std::fprintf(stderr, "%s\n%s\n", qPrintable(box->text()), qPrintable(box->informativeText()));
                box->accept();
            }
        });
        errors.start(200);

        std::vector<double> safetyTimes, oursTimes, serviceTimes, checkTimes, gbakTimes;
        const QString theirs = folder.filePath(QStringLiteral("gbak.fdb"));
        const QStringList gbak{QStringLiteral("-c"), QStringLiteral("-user"), DatabaseBackup::kServiceUser,
                               QStringLiteral("-password"), DatabaseBackup::kServicePassword, backupFile, theirs};
        for (int round = 0; round < rounds; ++round) {
            for (int row = 0; row < list->count(); ++row) {
                if (list->item(row)->data(Qt::UserRole).toString() == backupFile)
                    list->setCurrentRow(row);
            }
            QTimer::singleShot(0, question.get(), [&question] {
                question->findChild<QPushButton *>(QStringLiteral("FlatButton1"))->click();
            });
            restoreStarted = checkStarted = swapStarted = 0;
            timer.start();
            panel2->click();
            const qint64 ended = timer.nsecsElapsed();
            if (restored != round + 1 || !restoreStarted) {
                std::fprintf(stderr, "the screen's restore failed:\n%s\n", qPrintable(progress->toPlainText().right(2000)));
                return 1;
            }
            safetyTimes.push_back(seconds(restoreStarted));
            oursTimes.push_back(seconds(ended - restoreStarted));
            serviceTimes.push_back(seconds(checkStarted - restoreStarted));
            checkTimes.push_back(seconds(swapStarted - checkStarted));
            // Only the restored database stays, as the next round's starting point.
            removeMatching(folder, QStringLiteral("BENCH-RESTORE-antes-da-restauracao-*"));
            removeMatching(backups, QStringLiteral("*-antes-da-restauracao.gbk"));

            QFile::remove(theirs);
            timer.start();
            const int code = QProcess::execute(QStringLiteral("gbak"), gbak);
            gbakTimes.push_back(seconds(timer.nsecsElapsed()));
            if (code != 0) {
                std::fprintf(stderr, "gbak -c failed with code %d\n", code);
                return 1;
            }
            QFile::remove(theirs);
        }
        std::printf("rounds: %d\n", rounds);
        std::printf("safety backup before the restore (not in the ratio): median %.2f s\n", median(safetyTimes));
        std::printf("restore through the screen (verbose, checked, swapped): median %.2f s\n", median(oursTimes));
        std::printf("  of which the service's restore %.2f s, the check of the restored file %.2f s\n",
                    median(serviceTimes), median(checkTimes));
        std::printf("gbak -c: median %.2f s\n", median(gbakTimes));
        std::printf("ratio program / gbak: %.2f (target <= 1.1)\n", median(oursTimes) / median(gbakTimes));
    } catch (const DatabaseError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
