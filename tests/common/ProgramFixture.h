#pragma once

#include "TempDatabase.h"

#include "app/Screens.h"

// Every screen and dialog of the program as start-up makes them, in the
// program's registry, on a fresh database found through Arquivo.ini.
class ProgramFixture
{
public:
    ProgramFixture();

    QString databasePath() const { return m_database.path(); }
    DataModule &dm() { return *m_screens.Datamodule1; }
    Screens &screens() { return m_screens; }

private:
    TempDatabase m_database;
    Screens m_screens;
};
