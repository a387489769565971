#pragma once

#include <QProcess>
#include <QString>

// Drives dbchild: one command line in, one answer line out.
class ChildProcess
{
public:
    explicit ChildProcess(const QString &databasePath);
    ~ChildProcess();

    QString send(const QString &command);
    void kill();
    // Asks it to end normally and returns its exit code.
    int finish();

private:
    QProcess m_process;
};
