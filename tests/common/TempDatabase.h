#pragma once

#include "data/Datamodule1.h"

#include <QString>
#include <QTemporaryDir>

// A fresh database with the program's schema in a folder of its own, removed
// with the object. Each is a copy of one made once per test program.
class TempDatabase
{
public:
    TempDatabase();

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// A data module on the given database, with no Arquivo.ini in play.
struct Module
{
    QTemporaryDir config;
    DataModule dm{config.path()};
    explicit Module(const QString &databasePath) { dm.Base.setDatabaseName(databasePath); }
};

// Saves a new client as a screen does (post and commit-retaining); returns its key.
int addCliente(DataModule &dm, const QString &name);

// SELECT COUNT(*) FROM `from` (a table, and a condition if wanted) in the module's own transaction.
int rowCount(DataModule &dm, const QString &from);

// Receipts 1..count on a fresh database, committed: receipt i from "PAGADOR i",
// worth i × 1.234,50, dated i - 1 days after 15 March 2024.
void fillRecibos(DataModule &dm, int count);

// FOLDER/Arquivo.ini naming the database, as start-up reads it; a failure stops the test program.
void writeDatabaseIni(const QString &folder, const QString &databasePath);

// Database server given by scripts/test ("localhost" and a folder it may write).
QString testServer();
QString testServerFolder();
