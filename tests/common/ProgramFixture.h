#pragma once

#include "app/Screens.h"

#include <QString>
#include <QTemporaryDir>

class DataModule;

// Every screen and dialog of the program as start-up makes them, each behind
// its process-wide reference, on a database of its own: a copy of one made
// once per test program, which is much faster than making one each time.
class ProgramFixture
{
public:
    ProgramFixture();

    QString databasePath() const { return m_database; }
    DataModule &dm();

private:
    QTemporaryDir m_folder;
    QString m_database;
    Screens m_screens;
};
