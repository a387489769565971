#include "ExportCommand.h"
#include "ExportPeriodo.h"
#include "ExportRecibo.h"
#include "QtTranslations.h"

#include "reportengine/ReportFonts.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Drawing needs no screen: the command runs where no desktop is.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTranslator qtTexts;
    installQtTranslations(app, qtTexts);
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();

    // A new subcommand is one more entry here.
    const QList<quindeloexport::Subcommand> subcommands{quindeloexport::reciboSubcommand(),
                                                        quindeloexport::periodoSubcommand()};
    QTextStream errors(stderr);
    return quindeloexport::run(app.arguments().mid(1), subcommands, QCoreApplication::applicationDirPath(), errors);
}
