#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The backup files (*.gbk) of a folder, as the backup screen lists them for a restore.
namespace backupfiles {

struct Entry
{
    QString path;
    QDateTime modified;
    qint64 size = 0;
};

// Newest first; empty for a folder that is not there.
QList<Entry> list(const QString &folder);

// "09/12/2026 14:05 — QUINDELO09122026.gbk — 189,0 MB", in the default locale.
QString describe(const Entry &entry);

} // namespace backupfiles
