#include "QuindeloApplication.h"

#include "widgets/ErrorDisplay.h"

QuindeloApplication::QuindeloApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quindelo"));
}

bool QuindeloApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    if (!guarded([&] { handled = QApplication::notify(receiver, event); }))
        return false;
    return handled;
}
