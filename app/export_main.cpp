#include "ExportCommand.h"
#include "ExportDeclaracao.h"
#include "ExportPeriodo.h"
#include "ExportPlanilha.h"
#include "ExportRecibo.h"
#include "ExportRestaurar.h"
#include "QtTranslations.h"

#include "reportengine/ReportFonts.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--versao") == 0) {
        std::puts(QUINDELO_VERSION);
        return 0;
    }
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
    const QList<quindeloexport::Subcommand> subcommands{
        quindeloexport::reciboSubcommand(), quindeloexport::periodoSubcommand(),
        quindeloexport::declaracaoSubcommand(), quindeloexport::mensalSubcommand(),
        quindeloexport::restaurarSubcommand()};
    QTextStream errors(stderr);
    return quindeloexport::run(app.arguments().mid(1), subcommands, QCoreApplication::applicationDirPath(), errors);
}
