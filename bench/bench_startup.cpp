// Start-up of the program to its main menu drawn, against a bare Qt window,
// each measured as a fresh process from launch to its first paint.
//   bench_startup            runs both a number of times and prints the figures
//   bench_startup menu|bare  one start (used by the above)
#include "app/FRprincipal.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Ends the process once the window has been painted for the first time.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

int startOnce(int argc, char *argv[], bool menu)
{
    QuindeloApplication app(argc, argv);
    FirstPaint firstPaint;
    if (menu) {
        QTemporaryDir noConfig;
        Screens screens;
        screens.create(noConfig.path());
        screens.FRprincipal->installEventFilter(&firstPaint);
        screens.showMainWindow();
        return app.exec();
    }
    QWidget bare;
    bare.installEventFilter(&firstPaint);
    bare.showMaximized();
    return app.exec();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1)
        return startOnce(argc, argv, QByteArray(argv[1]) == "menu");

    const QString self = QString::fromLocal8Bit(argv[0]);
    std::vector<double> menu, bare;
    for (int round = 0; round < 15; ++round) {
        for (bool isMenu : {true, false}) {
            QElapsedTimer timer;
            timer.start();
            const int code = QProcess::execute(self, {isMenu ? QStringLiteral("menu") : QStringLiteral("bare")});
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            if (code != 0) {
                std::fprintf(stderr, "start failed with code %d\n", code);
                return 1;
            }
            (isMenu ? menu : bare).push_back(ms);
        }
    }
    std::printf("start-up to the main menu drawn: median %.1f ms over %zu starts\n", median(menu), menu.size());
    std::printf("start-up to a bare Qt window drawn: median %.1f ms\n", median(bare));
    std::printf("ratio menu / bare window: %.2f (target <= 1.5)\n", median(menu) / median(bare));
    return 0;
}
