// Pictures of the program's screens for the manual and the README, drawn by
// the program itself on the offscreen platform.
//   quindelo-screenshots FOLDER
#include "app/FRprincipal.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"
#include "maintenance/frmBackup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace {

bool save(QWidget *screen, const QSize &size, const QString &file, const std::function<void()> &shown = {})
{
    screen->resize(size);
    screen->show();
    if (shown)
        shown();
    QCoreApplication::processEvents();
    const bool saved = screen->grab().save(file);
    screen->hide();
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QuindeloApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (argc != 2) {
        std::fprintf(stderr, "usage: quindelo-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir noConfig;
    Screens screens;
    screens.create(noConfig.path());
    bool ok = save(screens.FRprincipal.get(), QSize(800, 450), folder.filePath(QStringLiteral("menu-principal.png")));
    // The backup screen lists a week of backups and shows the path of a
    // typical installation, not of this machine.
    QTemporaryDir backups;
    for (int day = 1; day <= 3; ++day) {
        const QDate date(2026, 12, day * 3);
        QFile file(backups.filePath(QStringLiteral("QUINDELO%1.gbk").arg(date.toString(QStringLiteral("ddMMyyyy")))));
        ok = file.open(QIODevice::WriteOnly) && file.resize(qint64(180 + day * 3) * 1024 * 1024 + 1024 * 100 * day)
            && file.setFileTime(QDateTime(date, QTime(17, 40 + day)), QFileDevice::FileModificationTime) && ok;
    }
    ok = save(screens.frmBackup.get(), QSize(560, 520), folder.filePath(QStringLiteral("backup.png")), [&] {
        auto *destino = screens.frmBackup->findChild<QLineEdit *>(QStringLiteral("edtDestino"));
        destino->setText(backups.filePath(QStringLiteral("QUINDELO.FDB")));
        emit destino->editingFinished();
        destino->setText(QStringLiteral("/home/maria/Quindelo/Backup/QUINDELO.FDB"));
        screens.frmBackup->findChild<QListWidget *>(QStringLiteral("LBbackups"))->setCurrentRow(0);
    }) && ok;
    return ok ? 0 : 1;
}
