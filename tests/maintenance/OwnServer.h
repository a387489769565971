#pragma once

#include <QString>
#include <QTemporaryDir>

// A Firebird server of one test's own, on a free port, started and stopped
// through scripts/fbserver: for what the shared test server must not do, stop.
// Stopped with the object.
class OwnServer
{
public:
    OwnServer();
    ~OwnServer();
    OwnServer(const OwnServer &) = delete;
    OwnServer &operator=(const OwnServer &) = delete;

    // Empty when it worked, else what the script said.
    QString start();
    QString stop();

    // "127.0.0.1/port", as in "host/port:path".
    QString address() const;
    // A folder outside the script's own, which it empties at each start.
    QString dataFolder() const;

private:
    QString script(const QString &command);

    QTemporaryDir m_instance;
    int m_port;
};
