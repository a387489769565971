#include "ProgramFixture.h"

#include "TempDatabase.h"

#include <QFile>

ProgramFixture::ProgramFixture()
    : m_database(m_folder.filePath(QStringLiteral("QUINDELO.FDB")))
{
    static const TempDatabase empty;
    if (!QFile::copy(empty.path(), m_database)
        || !QFile::setPermissions(m_database, QFile::ReadOwner | QFile::WriteOwner))
        qFatal("Could not copy the empty database to %s", qPrintable(m_database));
    QFile ini(m_folder.filePath(QStringLiteral("Arquivo.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("Could not write %s", qPrintable(ini.fileName()));
    ini.write("[Configuracoes]\nCaminhoBD=" + m_database.toUtf8() + "\n");
    ini.close();
    m_screens.create(m_folder.path());
}

DataModule &ProgramFixture::dm()
{
    return *Datamodule1;
}
