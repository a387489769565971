#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh database with the program's schema in a folder of its own, removed
// with the object.
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

class DataModule;

// A data module on the given database, with no Arquivo.ini in play.
void pointAt(DataModule &module, const QString &databasePath);

// Database server given by scripts/test ("localhost" and a folder it may write).
QString testServer();
QString testServerFolder();
