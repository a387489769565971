#pragma once

#include <QDate>
#include <QString>

#include <functional>

// Backs up a Firebird database through the service manager of whoever holds
// it: the embedded engine for a local file, the named server for "host:path".
class DatabaseBackup
{
public:
    using Progress = std::function<void(const QString &line)>;

    // Who the program is to the service manager.
    static inline const QString kServiceUser = QStringLiteral("sysdba");
    static inline const QString kServicePassword = QStringLiteral("tarvolimb");

    DatabaseBackup(const QString &user, const QString &password);

    // The backup file's name: the destination minus its last four characters,
    // the date as ddmmyyyy, then ".gbk".
    static QString fileName(const QString &destination, const QDate &today);
    // A local database as an absolute path; a server's path as it stands.
    static QString databasePath(const QString &configured);
    // The folder "Backup" beside the database, with the database's file name.
    static QString defaultDestination(const QString &databasePath);

    // Writes the backup of `database` to `file` (a path on the service
    // manager's machine) and returns once the service has finished; every line
    // of its output goes to `progress`. Throws DatabaseError with the server's
    // text. Where this machine can rename the file the service writes, it is
    // written under a temporary name and takes its own name only when complete,
    // so a failed backup leaves an earlier file of that name as it was.
    void run(const QString &database, const QString &file, const Progress &progress = {});

    static QString temporaryName(const QString &file);
    // Whether the file the service writes for `database` is one this program
    // can rename: the embedded engine's, or a server's on this machine writing
    // by absolute path into a folder that is here and that we may write.
    static bool renamableHere(const QString &database, const QString &file);

    // Makes the file's folder where this machine can: any missing folders for
    // the embedded engine; for a server on this machine, the last folder only,
    // beside one that is here, with that one's group and permissions so that a
    // server that may write there may write here too. A remote server's
    // folders are its own business.
    static void makeFolder(const QString &database, const QString &file);

private:
    void backUp(const QString &database, const QString &file, const Progress &progress);

    QString m_user;
    QString m_password;
};
