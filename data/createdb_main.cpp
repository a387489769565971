#include "DatabaseCreator.h"
#include "DatabaseError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "Uso: quindelo-createdb CAMINHO\n";
        return 2;
    }
    try {
        databasecreator::create(args.at(1));
    } catch (const DatabaseError &error) {
        err << "quindelo-createdb: " << error.message() << '\n';
        return 1;
    }
    return 0;
}
