#include "ReportFonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

void registerReportFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    for (const QString &file : wineFonts.entryList({QStringLiteral("tahoma*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(wineFonts.filePath(file));
    const QString liberation = QStringLiteral("Liberation Sans");
    if (!QFontDatabase::hasFamily(QStringLiteral("Arial")))
        QFont::insertSubstitution(QStringLiteral("Arial"), liberation);
    // No free font has Segoe UI's metrics; Liberation Sans is the nearest in width of those installed.
    if (!QFontDatabase::hasFamily(QStringLiteral("Segoe UI")))
        QFont::insertSubstitution(QStringLiteral("Segoe UI"), liberation);
}
