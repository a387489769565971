#pragma once

#include <QString>

namespace Firebird { class IService; }

// One attachment to a Firebird service manager ("service_mgr" for the embedded
// engine, "host:service_mgr" for a server): start an action and read its output.
class ServiceManager
{
public:
    ServiceManager() = default;
    ~ServiceManager();
    ServiceManager(const ServiceManager &) = delete;
    ServiceManager &operator=(const ServiceManager &) = delete;

    // The service manager that serves a database path ("host:path",
    // "host/port:path", or a local file for the embedded engine).
    static QString nameFor(const QString &databasePath);
    // The database path as the service manager sees it (without "host:").
    static QString pathOnServer(const QString &databasePath);
    // The server's host name or address ("[::1]" given as "::1"); empty for a local file.
    static QString serverHost(const QString &databasePath);
    // Whether the database is held on this machine: a local file, or a server
    // reached as localhost, a loopback address or this machine's own name.
    static bool heldOnThisMachine(const QString &databasePath);

    bool attached() const { return m_service != nullptr; }
    void attach(const QString &serviceName, const QString &user, const QString &password);
    // Starts an action; the start block (isc_action_... and its arguments) is built by the caller.
    void start(const QByteArray &startBlock);
    // The next line of the running action's output, waiting for it; false once
    // the action has finished. Errors the server reports are thrown here.
    bool nextLine(QString &line);
    void detach();

private:
    Firebird::IService *m_service = nullptr;
};
