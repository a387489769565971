#pragma once

#include "DatabaseBackup.h"

#include <QDateTime>
#include <QString>

class RestoreOutput;

// Puts a backup in the place of the database in use without ever losing it:
// a safety backup of the database first, the restore into a new database
// beside it, a check of what was restored, and only then the swap. A
// database on a server is replaced through the server, which alone can
// reach its files: the backup is restored and checked beside it first, then
// over it; should that fail halfway, the safety backup puts it back.
class DatabaseRestore
{
public:
    using Progress = DatabaseBackup::Progress;

    struct Result
    {
        QString safetyBackup; // the database as it was before the restore
        QString keptDatabase; // its file, renamed aside; empty on a server
    };

    DatabaseRestore(const QString &user, const QString &password);

    // The backup's file name for `destination` on that day with the time and
    // "-antes-da-restauracao" added, so that it replaces no earlier backup.
    static QString safetyBackupName(const QString &destination, const QDateTime &now);
    // Where the backup is restored first: beside the database, on its server.
    static QString restoringName(const QString &database);
    // Where the replaced database is kept: beside itself, named for when and why.
    static QString keptName(const QString &database, const QDateTime &now);

    // Every attachment of this program to `database` must be closed first.
    // Throws DatabaseError with the reason in Portuguese; the database in use
    // is then as it was and no restored file is left behind.
    Result run(const QString &database, const QString &backupFile, const QString &safetyBackup, const QDateTime &now,
               const Progress &progress = {});

private:
    void backUpFirst(const QString &database, const QString &safetyBackup, const Progress &progress) const;
    void restore(const QString &backupFile, const QString &target, bool replace, RestoreOutput &output,
                 const Progress &progress) const;
    void restoreChecked(const QString &backupFile, const QString &target, bool replace, RestoreOutput &output,
                        const Progress &progress) const;
    Result swapHere(const QString &database, const QString &backupFile, const QString &safetyBackup,
                    const QDateTime &now, const Progress &progress) const;
    Result replaceOnServer(const QString &database, const QString &backupFile, const QString &safetyBackup,
                           const Progress &progress) const;
    bool serverAnswers(const QString &database) const;
    bool removeRestored(const QString &target) const;

    QString m_user;
    QString m_password;
};
