// Pictures of the program's screens for the manual and the README, drawn by
// the program itself on the offscreen platform.
//   quindelo-screenshots FOLDER
#include "app/FRprincipal.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"
#include "maintenance/frmBackup.h"

#include <QDir>
#include <QLineEdit>
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
    if (argc != 2) {
        std::fprintf(stderr, "usage: quindelo-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir noConfig;
    Screens screens;
    screens.create(noConfig.path());
    bool ok = save(screens.FRprincipal.get(), QSize(800, 450), folder.filePath(QStringLiteral("menu-principal.png")));
    // The backup screen shows the path of a typical installation, not of this machine.
    ok = save(screens.frmBackup.get(), QSize(560, 300), folder.filePath(QStringLiteral("backup.png")), [&screens] {
        screens.frmBackup->findChild<QLineEdit *>(QStringLiteral("edtDestino"))
            ->setText(QStringLiteral("/home/maria/Quindelo/Backup/QUINDELO.FDB"));
    }) && ok;
    return ok ? 0 : 1;
}
