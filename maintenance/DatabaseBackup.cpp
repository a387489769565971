#include "DatabaseBackup.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/FbApi.h"
#include "data/ServiceManager.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Firebird;

namespace {

QByteArray startBlock(const QString &database, const QString &file)
{
    const QByteArray databaseBytes = database.toLocal8Bit();
    const QByteArray fileBytes = file.toLocal8Bit();
    return fb::call([&](fb::Status *st) {
        IXpbBuilder *builder = fb::util()->getXpbBuilder(st, IXpbBuilder::SPB_START, nullptr, 0);
        if (st->getState() & IStatus::STATE_ERRORS)
            return QByteArray();
        builder->insertTag(st, isc_action_svc_backup);
        builder->insertString(st, isc_spb_dbname, databaseBytes.constData());
        builder->insertString(st, isc_spb_bkp_file, fileBytes.constData());
        builder->insertTag(st, isc_spb_verbose);
        const QByteArray block(reinterpret_cast<const char *>(builder->getBuffer(st)), int(builder->getBufferLength(st)));
        builder->dispose();
        return block;
    });
}

} // namespace

DatabaseBackup::DatabaseBackup(const QString &user, const QString &password)
    : m_user(user), m_password(password)
{
}

QString DatabaseBackup::fileName(const QString &destination, const QDate &today)
{
    return destination.left(qMax(0, destination.size() - 4)) + today.toString(QStringLiteral("ddMMyyyy"))
        + QStringLiteral(".gbk");
}

QString DatabaseBackup::databasePath(const QString &configured)
{
    if (!databasecreator::isLocalPath(configured))
        return configured;
    return QFileInfo(configured).absoluteFilePath();
}

QString DatabaseBackup::defaultDestination(const QString &databasePath)
{
    const QString path = ServiceManager::pathOnServer(databasePath);
    const int slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QChar separator = slash >= 0 ? path.at(slash) : QLatin1Char('/');
    return path.left(slash + 1) + QStringLiteral("Backup") + separator + path.mid(slash + 1);
}

QString DatabaseBackup::temporaryName(const QString &file)
{
    return file + QStringLiteral(".parcial");
}

void DatabaseBackup::run(const QString &database, const QString &file, const Progress &progress)
{
    // A server writes the file as its own user, often where we may not rename
    // it: only the embedded engine's file goes through a temporary name.
    const bool renamable = databasecreator::isLocalPath(database);
    const QString target = renamable ? temporaryName(file) : file;
    if (renamable)
        QFile::remove(target);

    try {
        ServiceManager service;
        service.attach(ServiceManager::nameFor(database), m_user, m_password);
        service.start(startBlock(ServiceManager::pathOnServer(database), target));
        QString line;
        while (service.nextLine(line)) {
            if (progress)
                progress(line);
        }
        service.detach();
        if (renamable && std::rename(QFile::encodeName(target).constData(), QFile::encodeName(file).constData()) != 0) {
            throw DatabaseError(QStringLiteral("Não foi possível dar ao backup o nome %1: %2")
                                    .arg(file, QString::fromLocal8Bit(std::strerror(errno))));
        }
    } catch (const DatabaseError &error) {
        if (!renamable)
            throw;
        QFile::remove(target);
        // The user knows the file by its own name, not by the temporary one.
        QString message = error.message();
        throw DatabaseError(message.replace(target, file));
    } catch (...) {
        if (renamable)
            QFile::remove(target);
        throw;
    }
}
