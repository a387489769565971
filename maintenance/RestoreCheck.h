#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

// What the service's verbose output says a restore did. A backup file that
// ends early restores without any error, with part of the rows: only the
// output tells how far the restore got.
class RestoreOutput
{
public:
    void add(const QString &line);

    // The service made the new database (over the old one, when replacing).
    bool created() const { return m_created; }
    // The service reached its closing step.
    bool finished() const { return m_finished; }
    // The table whose rows the service restored last; empty before the first.
    QString lastTable() const { return m_table; }
    // The rows the service counted into the table; 0 for one it never reached.
    qint64 rowsRestored(const QString &table) const;
    // The service's own "ERROR" line, if it printed one.
    QString error() const { return m_error; }

private:
    QString m_table;
    QHash<QString, qint64> m_rows;
    bool m_created = false;
    bool m_finished = false;
    QString m_error;
};

// Checks a restored database before it takes the place of the one in use:
// it opens, holds the tables and columns the program works on, and holds
// the rows the service says it restored.
class RestoreCheck
{
public:
    RestoreCheck(const QString &user, const QString &password);

    // Throws DatabaseError saying, in Portuguese, what is wrong.
    void verify(const QString &database, const RestoreOutput &output) const;

    // The tables the program works on and their columns, as its schema makes them.
    static QMap<QString, QStringList> programTables();
    // What the user is told of a backup file that ends early.
    static QString incompleteBackup(const QString &why);

private:
    QString m_user;
    QString m_password;
};
