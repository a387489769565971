#include "ServiceManager.h"

#include "DatabaseCreator.h"
#include "FbApi.h"

#include <QSysInfo>

using namespace Firebird;

namespace {

// The length of "host:", "host/port:" or "[IPv6 address]/port:" before a
// server's database path; 0 for a local file.
int serverPartLength(const QString &databasePath)
{
    if (databasecreator::isLocalPath(databasePath))
        return 0;
    const int from = databasePath.startsWith(QLatin1Char('[')) ? qMax(0, databasePath.indexOf(QLatin1Char(']'))) : 0;
    return databasePath.indexOf(QLatin1Char(':'), from) + 1;
}

} // namespace

ServiceManager::~ServiceManager()
{
    if (!m_service)
        return;
    fb::Status st;
    m_service->detach(&st);
    if (st.getState() & IStatus::STATE_ERRORS)
        m_service->release();
}

QString ServiceManager::nameFor(const QString &databasePath)
{
    return databasePath.left(serverPartLength(databasePath)) + QStringLiteral("service_mgr");
}

QString ServiceManager::pathOnServer(const QString &databasePath)
{
    return databasePath.mid(serverPartLength(databasePath));
}

QString ServiceManager::serverHost(const QString &databasePath)
{
    QString host = databasePath.left(qMax(0, serverPartLength(databasePath) - 1));
    const int bracket = host.indexOf(QLatin1Char(']'));
    const int port = host.indexOf(QLatin1Char('/'), qMax(0, bracket));
    if (port >= 0)
        host.truncate(port);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    return host;
}

bool ServiceManager::heldOnThisMachine(const QString &databasePath)
{
    if (databasecreator::isLocalPath(databasePath))
        return true;
    const QString host = serverHost(databasePath);
    if (host.isEmpty())
        return false;
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || host == QLatin1String("127.0.0.1")
        || host == QLatin1String("::1") || host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

void ServiceManager::attach(const QString &serviceName, const QString &user, const QString &password)
{
    detach();
    fb::prepareLockFolder();
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    const QByteArray spb = fb::parameterBlock(IXpbBuilder::SPB_ATTACH, [&](IXpbBuilder *builder, fb::Status *st) {
        builder->insertString(st, isc_spb_user_name, userBytes.constData());
        builder->insertString(st, isc_spb_password, passwordBytes.constData());
    });
    const QByteArray name = serviceName.toLocal8Bit();
    m_service = fb::call([&](fb::Status *st) {
        return fb::provider()->attachServiceManager(st, name.constData(), unsigned(spb.size()),
                                                    reinterpret_cast<const unsigned char *>(spb.constData()));
    });
}

void ServiceManager::start(const QByteArray &startBlock)
{
    fb::call([&](fb::Status *st) {
        m_service->start(st, unsigned(startBlock.size()), reinterpret_cast<const unsigned char *>(startBlock.constData()));
    });
}

bool ServiceManager::nextLine(QString &line)
{
    static const unsigned char items[] = {isc_info_svc_line};
    unsigned char buffer[16384];
    fb::call([&](fb::Status *st) {
        m_service->query(st, 0, nullptr, sizeof items, items, sizeof buffer, buffer);
    });
    if (buffer[0] != isc_info_svc_line)
        return false;
    // A two-byte little-endian length, then the text; an empty line means the action has ended.
    const int length = qMin(int(buffer[1]) | (int(buffer[2]) << 8), int(sizeof buffer) - 3);
    line = QString::fromLocal8Bit(reinterpret_cast<const char *>(buffer + 3), length);
    return length > 0;
}

void ServiceManager::detach()
{
    if (!m_service)
        return;
    IService *service = m_service;
    m_service = nullptr;
    fb::call([&](fb::Status *st) { service->detach(st); });
}
