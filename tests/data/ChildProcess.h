#pragma once

#include <QProcess>
#include <QString>

// Drives dbchild: one command line in, one answer line out.
class ChildProcess
{
public:
    explicit ChildProcess(const QString &databasePath, const QStringList &options = {},
                          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~ChildProcess();

    QString send(const QString &command);
    // The next line it writes of its own accord.
    QString readLine();
    qint64 pid() const { return m_process.processId(); }
    // Waits for it to end by itself; its exit code, or -1 if it crashed or is still running.
    int waitForExit();
    void kill();
    // Asks it to end normally and returns its exit code.
    int finish();

private:
    QProcess m_process;
};
