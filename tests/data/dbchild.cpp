// A second process on the same database, driven line by line from a test:
// each command answers "ok ..." or "error: <text>".
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/TerminationSignals.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <iostream>
#include <string>

static QString run(DataModule &dm, const QStringList &words)
{
    const QString command = words.value(0);
    if (command == QLatin1String("delete-recibo")) {
        dm.Recibos.open();
        if (!dm.Recibos.locate(QStringLiteral("ID_RECIBO"), words.value(1).toInt()))
            return QStringLiteral("error: not found");
        dm.Recibos.remove();
    } else if (command == QLatin1String("rename-cliente")) {
        dm.Clientes.open();
        if (!dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), words.value(1).toInt()))
            return QStringLiteral("error: not found");
        dm.Clientes.edit();
        dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(words.mid(2).join(QLatin1Char(' ')));
        dm.Clientes.post();
    } else if (command == QLatin1String("cliente-name")) {
        dm.Clientes.close();
        dm.Clientes.open();
        if (!dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), words.value(1).toInt()))
            return QStringLiteral("error: not found");
        return QStringLiteral("ok ") + dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString();
    } else if (command == QLatin1String("commit")) {
        dm.Tra.commitRetaining();
    } else {
        return QStringLiteral("error: unknown command");
    }
    return QStringLiteral("ok");
}

// "dbchild PATH event-loop": deletes receipt 1 without committing, says "ready"
// and runs an event loop as the program does, until a signal ends it.
static int runEventLoop(QCoreApplication &app, DataModule &dm)
{
    QObject::connect(&dm.Base, &Database::opened, &app, &termination::quitOnSignals);
    try {
        run(dm, {QStringLiteral("delete-recibo"), QStringLiteral("1")});
    } catch (const DatabaseError &error) {
        std::cout << "error: " << error.message().toStdString() << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;
    return app.exec();
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir noConfig;
    DataModule dm(noConfig.path());
    dm.Base.setDatabaseName(app.arguments().value(1));
    if (app.arguments().value(2) == QLatin1String("event-loop"))
        return runEventLoop(app, dm);

    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.value(0) == QLatin1String("exit"))
            return 0;
        QString answer;
        try {
            answer = run(dm, words);
        } catch (const DatabaseError &error) {
            answer = QStringLiteral("error: ") + error.message().simplified();
        }
        std::cout << answer.toStdString() << std::endl;
    }
    return 0;
}
