#pragma once

#include <QString>
#include <QStringList>

// The insert, modify and delete statements through which a dataset writes.
// Parameters are named after the columns; ":OLD_<key>" is the key as read.
struct UpdateSql
{
    // Firebird's number of the transaction that wrote a row's current version.
    static inline const QString kRowVersion = QStringLiteral("RDB$RECORD_VERSION");

    QString table;
    QString keyColumn;
    QString insertSql;
    // Changes the row only while it still has the version read with it
    // (":OLD_RDB$RECORD_VERSION"), so a change committed elsewhere is never overwritten.
    QString modifySql;
    QString deleteSql;
    // The version of the row with the key ":<key>", as this transaction sees it.
    QString rowVersionSql;

    // A select of "*" or of plain columns from the table, with the row version
    // as its last column; any other select is returned as it is.
    QString withRowVersion(const QString &select) const;

    // Statements over the columns in the given order: insert and modify set every
    // column (the key included) from its own parameter, modify and delete find
    // the row by the old key.
    static UpdateSql forTable(const QString &table, const QStringList &columns, const QString &keyColumn);
};
