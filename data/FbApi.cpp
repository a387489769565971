#include "FbApi.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include "EngineRoot.h"
#include "Win1252.h"

#include <cstdlib>
#include <unistd.h>

using namespace Firebird;

namespace fb {

IMaster *master()
{
    static IMaster *instance = fb_get_master_interface();
    return instance;
}

IUtil *util()
{
    return master()->getUtilInterface();
}

IProvider *provider()
{
    static IProvider *dispatcher = master()->getDispatcher();
    return dispatcher;
}

Status::Status()
    : Status(master()->getStatus())
{
}

Status::Status(IStatus *status)
    : CheckStatusWrapper(status), m_status(status)
{
}

Status::~Status()
{
    m_status->dispose();
}

void Status::check()
{
    if (getState() & IStatus::STATE_ERRORS) {
        const QString text = messageOf(this);
        const QList<qint64> codes = codesOf(getErrors());
        init();
        throw DatabaseError(text, codes);
    }
}

QString messageOf(IStatus *status)
{
    char buffer[2048];
    const unsigned length = util()->formatStatus(buffer, sizeof buffer, status);
    // The texts themselves are ASCII; the data quoted in them (a key value) comes in the
    // connection's WIN1252, file names in the system's UTF-8. Bytes that are not UTF-8 are WIN1252.
    const QByteArray bytes(buffer, int(qMin<unsigned>(length, sizeof buffer)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    return (utf8.hasError() ? win1252::decode(bytes) : asUtf8).trimmed();
}

QList<qint64> codesOf(const ISC_STATUS *vector)
{
    QList<qint64> codes;
    for (const ISC_STATUS *p = vector; *p != isc_arg_end;) {
        const ISC_STATUS type = p[0];
        if (type == isc_arg_gds)
            codes << qint64(p[1]);
        p += (type == isc_arg_cstring) ? 3 : 2;
    }
    return codes;
}

bool hasCode(const ISC_STATUS *vector, ISC_STATUS code)
{
    for (const ISC_STATUS *p = vector; *p != isc_arg_end;) {
        if (p[0] == isc_arg_gds && p[1] == code)
            return true;
        p += (p[0] == isc_arg_cstring) ? 3 : 2;
    }
    return false;
}

ISC_DATE encodeDate(const QDate &date)
{
    return util()->encodeDate(unsigned(date.year()), unsigned(date.month()), unsigned(date.day()));
}

QDate decodeDate(ISC_DATE date)
{
    unsigned year = 0, month = 0, day = 0;
    util()->decodeDate(date, &year, &month, &day);
    return QDate(int(year), int(month), int(day));
}

ISC_TIME encodeTime(const QTime &time)
{
    return util()->encodeTime(unsigned(time.hour()), unsigned(time.minute()), unsigned(time.second()),
                               unsigned(time.msec()) * 10);
}

QTime decodeTime(ISC_TIME time)
{
    unsigned hours = 0, minutes = 0, seconds = 0, fractions = 0;
    util()->decodeTime(time, &hours, &minutes, &seconds, &fractions);
    return QTime(int(hours), int(minutes), int(seconds), int(fractions / 10));
}

static bool usableFolder(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return access(QFileInfo(info.absolutePath()).absoluteFilePath().toLocal8Bit().constData(), W_OK | X_OK) == 0;
    return info.isDir() && access(path.toLocal8Bit().constData(), R_OK | W_OK | X_OK) == 0;
}

void prepareLockFolder()
{
    prepareSharedRoot();
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString standard = QStringLiteral("/tmp/firebird");
    if (usableFolder(standard))
        return;
    // Per user, so every process of the same user shares it and sees the others' locks.
    const QString own = QStringLiteral("/tmp/firebird-%1").arg(getuid());
    QDir().mkpath(own);
    qputenv("FIREBIRD_LOCK", own.toLocal8Bit());
}

} // namespace fb
