#include "QtTranslations.h"
#include "QuindeloApplication.h"
#include "Screens.h"

#include "data/Datamodule1.h"
#include "data/TerminationSignals.h"
#include "receipts/Extens.h"
#include "widgets/ErrorDisplay.h"
#include "reportengine/ReportFonts.h"
#include "widgets/PlainMessage.h"

#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QuindeloApplication app(argc, argv);
    QTranslator qtTexts;
    installQtTranslations(app, qtTexts);
    // Month names and separators follow the desktop; a machine without
    // regional settings gets the Brazilian ones the program is written for.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    setRangeMessageSink(showPlainMessage);
    registerReportFonts();

    Screens screens;
    screens.create(QCoreApplication::applicationDirPath());
    QObject::connect(&screens.Datamodule1->Base, &Database::opened, &app, &termination::quitOnSignals);
    QObject::connect(&screens.Datamodule1->Base, &Database::connectionLost, &app, &errordisplay::show);
    screens.showMainWindow();
    return app.exec();
}
