#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtTranslations(QCoreApplication &application, QTranslator &translator)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                         folder)) {
        qWarning("Qt's Portuguese texts (qtbase_pt_BR.qm) are not in %s: install qt6-translations-l10n.",
                 qPrintable(folder));
        return false;
    }
    return application.installTranslator(&translator);
}
