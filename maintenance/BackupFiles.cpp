#include "BackupFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace backupfiles {

QList<Entry> list(const QString &folder)
{
    QList<Entry> entries;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.gbk")}, QDir::Files | QDir::Readable);
    for (const QFileInfo &file : files)
        entries.append({file.absoluteFilePath(), file.lastModified(), file.size()});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path > b.path;
    });
    return entries;
}

QString describe(const Entry &entry)
{
    return QStringLiteral("%1 — %2 — %3 MB")
        .arg(entry.modified.toString(QStringLiteral("dd/MM/yyyy HH:mm")), QFileInfo(entry.path).fileName(),
             QLocale().toString(double(entry.size) / (1024 * 1024), 'f', 1));
}

} // namespace backupfiles
