#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDir>

ChildProcess::ChildProcess(const QString &databasePath, const QStringList &options,
                           const QProcessEnvironment &environment)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setProcessEnvironment(environment);
    m_process.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("dbchild")),
                    QStringList{databasePath} + options);
    m_process.waitForStarted();
}

ChildProcess::~ChildProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        kill();
}

QString ChildProcess::send(const QString &command)
{
    m_process.write((command + QLatin1Char('\n')).toUtf8());
    return readLine();
}

QString ChildProcess::readLine()
{
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(30000))
            return QStringLiteral("error: no answer from the child process");
    }
    return QString::fromUtf8(m_process.readLine()).trimmed();
}

void ChildProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished();
}

int ChildProcess::finish()
{
    m_process.write("exit\n");
    m_process.closeWriteChannel();
    m_process.waitForFinished(30000);
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int ChildProcess::waitForExit()
{
    if (!m_process.waitForFinished(30000) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}
