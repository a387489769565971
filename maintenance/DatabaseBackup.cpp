#include "DatabaseBackup.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/FbApi.h"
#include "data/ServiceManager.h"
#include "data/TerminationSignals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Firebird;

namespace {

QByteArray startBlock(const QString &database, const QString &file)
{
    const QByteArray databaseBytes = database.toLocal8Bit();
    const QByteArray fileBytes = file.toLocal8Bit();
    return fb::parameterBlock(IXpbBuilder::SPB_START, [&](IXpbBuilder *builder, fb::Status *st) {
        builder->insertTag(st, isc_action_svc_backup);
        builder->insertString(st, isc_spb_dbname, databaseBytes.constData());
        builder->insertString(st, isc_spb_bkp_file, fileBytes.constData());
        builder->insertTag(st, isc_spb_verbose);
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

bool DatabaseBackup::renamableHere(const QString &database, const QString &file)
{
    if (databasecreator::isLocalPath(database))
        return true;
    // A relative path is taken from the server's own current folder.
    if (!ServiceManager::heldOnThisMachine(database) || !QDir::isAbsolutePath(file))
        return false;
    const QFileInfo folder(QFileInfo(file).absolutePath());
    return folder.isDir() && folder.isWritable();
}

void DatabaseBackup::makeFolder(const QString &database, const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (databasecreator::isLocalPath(database)) {
        QDir().mkpath(folder);
        return;
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (!ServiceManager::heldOnThisMachine(database) || !QDir::isAbsolutePath(file) || QFileInfo::exists(folder)
        || !QFileInfo(parent).isDir() || !QDir().mkdir(folder)) {
        return;
    }
    // Should either fail, the server's own message about the folder says so.
    QFile::setPermissions(folder, QFileInfo(parent).permissions());
    struct stat parentStatus;
    if (::stat(QFile::encodeName(parent).constData(), &parentStatus) == 0)
        (void)::chown(QFile::encodeName(folder).constData(), uid_t(-1), parentStatus.st_gid);
}

void DatabaseBackup::run(const QString &database, const QString &file, const Progress &progress)
{
    // A remote server's file cannot be renamed through the service manager:
    // there the service writes under the final name.
    if (!renamableHere(database, file)) {
        backUp(database, file, progress);
        return;
    }

    const QString partial = temporaryName(file);
    QFile::remove(partial);
    try {
        backUp(database, partial, progress);
    } catch (const DatabaseError &error) {
        QFile::remove(partial);
        // The user knows the file by its own name, not by the temporary one.
        QString message = error.message();
        const DatabaseError renamed(message.replace(partial, file), error.codes());
        throw error.databaseName().isEmpty() ? renamed : renamed.whileOpening(error.databaseName());
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    // A server that answers on this machine's name may still see another file system.
    if (!QFileInfo::exists(partial)) {
        throw DatabaseError(QStringLiteral("O servidor gravou o backup como %1, mas este arquivo não está neste "
                                           "computador para receber o nome %2.")
                                .arg(partial, file));
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(file).constData()) != 0) {
        // The backup itself is complete: it stays, and the user learns where.
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        throw DatabaseError(QStringLiteral("O backup completo está em %1; não foi possível dar a ele o nome %2: %3")
                                .arg(partial, file, reason));
    }
}

void DatabaseBackup::backUp(const QString &database, const QString &file, const Progress &progress)
{
    ServiceManager service;
    try {
        service.attach(ServiceManager::nameFor(database), m_user, m_password);
    } catch (const DatabaseError &error) {
        // Not reaching the service is not reaching the database's server.
        throw error.whileOpening(database);
    }
    // The client library took the termination signals over on attach.
    termination::quitOnSignals();
    service.start(startBlock(ServiceManager::pathOnServer(database), file));
    QString line;
    while (service.nextLine(line)) {
        // Detaching (when service goes) cancels the backup; the caller removes its partial file.
        if (termination::requested())
            throw DatabaseError(QStringLiteral("O backup foi cancelado porque o programa está sendo encerrado."));
        if (progress)
            progress(line);
    }
    service.detach();
}
