#include "ProgramDriver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUuid>

namespace {

// How long a step may take before the walk counts as stuck; generous for a loaded machine.
constexpr int kStepMilliseconds = 60000;

} // namespace

ProgramDriver::~ProgramDriver()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QProcessEnvironment ProgramDriver::desktop(const QString &home, const QString &pluginFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), pluginFolder);
    environment.insert(QStringLiteral("QUINDELO_HOME"), home);
    environment.insert(QStringLiteral("LANG"), QStringLiteral("pt_BR.UTF-8"));
    // A common laptop screen rather than the offscreen default of 800 x 600.
    const QString screen = QDir(home).filePath(QStringLiteral("tela.json"));
    QFile screenFile(screen);
    if (screenFile.open(QIODevice::WriteOnly))
        screenFile.write(R"({"screens": [{"name": "tela", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96}]})");
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screen);
    return environment;
}

bool ProgramDriver::start(const QString &program, const QString &workingFolder, const QProcessEnvironment &environment)
{
    const QString serverName = QStringLiteral("quindelo-e2e-") + QUuid::createUuid().toString(QUuid::Id128);
    if (!m_server.listen(serverName)) {
        m_error = m_server.errorString();
        return false;
    }
    QProcessEnvironment env = environment;
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("quindelodriver:") + m_server.fullServerName());
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(workingFolder);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(program, {});
    if (!m_process.waitForStarted() || !m_server.waitForNewConnection(kStepMilliseconds)) {
        m_error = QStringLiteral("the program did not start with its driver: ") + m_process.errorString();
        return false;
    }
    m_socket = m_server.nextPendingConnection();
    return true;
}

bool ProgramDriver::ask(const QStringList &command, QString &status, QString &detail)
{
    m_socket->write(command.join(QLatin1Char('\t')).toUtf8() + '\n');
    m_socket->flush();
    while (!m_socket->canReadLine()) {
        if (!m_socket->waitForReadyRead(kStepMilliseconds)) {
            m_error = QStringLiteral("no answer to \"%1\" (program %2)")
                          .arg(command.join(QLatin1Char(' ')),
                               m_process.state() == QProcess::NotRunning ? QStringLiteral("ended") : QStringLiteral("hung"));
            return false;
        }
    }
    const QString line = QString::fromUtf8(m_socket->readLine()).chopped(1);
    status = line.section(QLatin1Char('\t'), 0, 0);
    detail = line.section(QLatin1Char('\t'), 1).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

bool ProgramDriver::act(const QStringList &command)
{
    const QDeadlineTimer deadline(kStepMilliseconds);
    QString status;
    QString detail;
    while (ask(command, status, detail)) {
        if (status == QLatin1String("ok"))
            return true;
        if (deadline.hasExpired()) {
            m_error = QStringLiteral("\"%1\": %2").arg(command.join(QLatin1Char(' ')), detail);
            return false;
        }
        QThread::msleep(10);
    }
    return false;
}

bool ProgramDriver::click(const QString &path)
{
    return act({QStringLiteral("click"), path});
}

bool ProgramDriver::clickAt(const QString &path, int x, int y)
{
    return act({QStringLiteral("click"), path, QString::number(x), QString::number(y)});
}

bool ProgramDriver::doubleClick(const QString &path)
{
    return act({QStringLiteral("dclick"), path});
}

bool ProgramDriver::doubleClickAt(const QString &path, int x, int y)
{
    return act({QStringLiteral("dclick"), path, QString::number(x), QString::number(y)});
}

bool ProgramDriver::doubleClickRow(const QString &path, int row)
{
    return act({QStringLiteral("dclickrow"), path, QString::number(row)});
}

bool ProgramDriver::type(const QString &path, const QString &text)
{
    // Clicked at its start and all selected, so a masked field fills from its first place.
    return clickAt(path, 3, -1) && press(path, QStringLiteral("Ctrl+A")) && keys(path, text);
}

bool ProgramDriver::keys(const QString &path, const QString &text)
{
    return act({QStringLiteral("keys"), path, text});
}

bool ProgramDriver::press(const QString &path, const QString &key)
{
    return act({QStringLiteral("key"), path, key});
}

QString ProgramDriver::text(const QString &path)
{
    QString status;
    QString detail;
    if (!ask({QStringLiteral("text"), path}, status, detail))
        return QString();
    return status == QLatin1String("ok") ? detail : QString();
}

bool ProgramDriver::waitForText(const QString &path, const QString &text)
{
    const QDeadlineTimer deadline(kStepMilliseconds);
    QString shown;
    while (!deadline.hasExpired()) {
        QString status;
        if (!ask({QStringLiteral("text"), path}, status, shown))
            return false;
        if (status == QLatin1String("ok") && shown == text)
            return true;
        QThread::msleep(10);
    }
    m_error = QStringLiteral("%1 shows \"%2\", not \"%3\"").arg(path, shown, text);
    return false;
}

bool ProgramDriver::waitForExit(int &exitCode)
{
    if (!m_process.waitForFinished(kStepMilliseconds)) {
        m_error = QStringLiteral("the program did not end");
        return false;
    }
    exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    return true;
}
