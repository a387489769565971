#include "OwnServer.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port nothing listens on now, chosen by the system.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

} // namespace

OwnServer::OwnServer()
    : m_port(freePort())
{
    QDir(m_instance.path()).mkpath(QStringLiteral("dados"));
}

OwnServer::~OwnServer()
{
    stop();
}

QString OwnServer::start()
{
    if (m_port == 0)
        return QStringLiteral("no free port");
    return script(QStringLiteral("start"));
}

QString OwnServer::stop()
{
    return script(QStringLiteral("stop"));
}

QString OwnServer::address() const
{
    return QStringLiteral("127.0.0.1/%1").arg(m_port);
}

QString OwnServer::dataFolder() const
{
    return QDir(m_instance.path()).filePath(QStringLiteral("dados"));
}

QString OwnServer::script(const QString &command)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUINDELO_FBSERVER_DIR"), QDir(m_instance.path()).filePath(QStringLiteral("servidor")));
    environment.insert(QStringLiteral("QUINDELO_FBSERVER_PORT"), QString::number(m_port));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("bash"), {QStringLiteral(QUINDELO_SOURCE_DIR "/scripts/fbserver"), command});
    if (!process.waitForFinished(60000))
        return QStringLiteral("scripts/fbserver %1 did not finish").arg(command);
    return process.exitCode() == 0 ? QString() : QString::fromLocal8Bit(process.readAll());
}
