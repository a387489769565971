#include "ProgramFixture.h"

#include <QDir>
#include <QFile>

ProgramFixture::ProgramFixture()
{
    QFile ini(QDir(m_database.folder()).filePath(QStringLiteral("Arquivo.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("Could not write %s", qPrintable(ini.fileName()));
    ini.write("[Configuracoes]\nCaminhoBD=" + m_database.path().toUtf8() + "\n");
    ini.close();
    m_screens.create(m_database.folder());
}

DataModule &ProgramFixture::dm()
{
    return *Datamodule1;
}
