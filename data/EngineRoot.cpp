#include "EngineRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace fb {

namespace {

const QString kSystemRoot = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");

// Written through a temporary file, so a process starting at the same moment never reads half of it.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool linkTo(const QString &target, const QString &link)
{
    return QFileInfo(link).symLinkTarget() == target || QFile::link(target, link);
}

bool layOut(const QString &root)
{
    QFile fbintl(kSystemRoot + QStringLiteral("/intl/libfbintl.so"));
    QFile plugins(kSystemRoot + QStringLiteral("/plugins.conf"));
    QFile fbintlConf(kSystemRoot + QStringLiteral("/intl/fbintl.conf"));
    if (!fbintl.open(QIODevice::ReadOnly) || !plugins.open(QIODevice::ReadOnly) || !fbintlConf.open(QIODevice::ReadOnly))
        return false;
    // The character sets must be found under this root: a real copy, named by its own fbintl.conf.
    QByteArray conf = fbintlConf.readAll();
    conf.replace("$(root)/intl/fbintl", QFile::encodeName(root + QStringLiteral("/intl/fbintl")));
    return QDir().mkpath(root + QStringLiteral("/intl")) && QDir().mkpath(root + QStringLiteral("/lock"))
           && linkTo(kSystemRoot + QStringLiteral("/plugins"), root + QStringLiteral("/plugins"))
           && linkTo(kSystemRoot + QStringLiteral("/firebird.msg"), root + QStringLiteral("/firebird.msg"))
           && writeFile(root + QStringLiteral("/plugins.conf"), plugins.readAll())
           && writeFile(root + QStringLiteral("/intl/libfbintl.so"), fbintl.readAll())
           && writeFile(root + QStringLiteral("/intl/fbintl.conf"), conf)
           && writeFile(root + QStringLiteral("/firebird.conf"), "ServerMode = SuperClassic\n");
}

} // namespace

void prepareSharedRoot()
{
    static bool done = false;
    if (done || qEnvironmentVariableIsSet("FIREBIRD"))
        return;
    done = true;
    const QString root = QStringLiteral("/tmp/quindelo-firebird-%1").arg(getuid());
    // Without the system's engine files the default configuration stays in charge.
    if (!layOut(root))
        return;
    qputenv("FIREBIRD", QFile::encodeName(root));
    if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(root + QStringLiteral("/lock")));
}

} // namespace fb
