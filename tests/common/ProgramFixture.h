#pragma once

#include "TempDatabase.h"

#include "app/Screens.h"

// Every screen and dialog of the program as start-up makes them, each behind
// its process-wide reference, on a fresh database found through Arquivo.ini.
class ProgramFixture
{
public:
    ProgramFixture();

    QString databasePath() const { return m_database.path(); }
    DataModule &dm();

private:
    TempDatabase m_database;
    Screens m_screens;
};
