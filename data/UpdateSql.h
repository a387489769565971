#pragma once

#include <QString>
#include <QStringList>

// The insert, modify and delete statements through which a dataset writes.
// Parameters are named after the columns; ":OLD_<key>" is the key as read.
struct UpdateSql
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;

    // Statements over the columns in the given order: insert and modify set every
    // column (the key included) from its own parameter, modify and delete find
    // the row by the old key.
    static UpdateSql forTable(const QString &table, const QStringList &columns, const QString &keyColumn);
};
