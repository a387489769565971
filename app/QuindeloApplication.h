#pragma once

#include <QApplication>

// The application object. An error that escapes an event handler ends that
// handler only: it goes to the standard error display and the loop goes on.
class QuindeloApplication : public QApplication
{
public:
    QuindeloApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
