#include "UpdateSql.h"

#include <QRegularExpression>

QString UpdateSql::withRowVersion(const QString &select) const
{
    // Only "select <list> from TABLE ...": a join or an alias could name another table's row.
    const QRegularExpression plain(
        QStringLiteral("^\\s*select\\s+([A-Za-z0-9_$,\\s*]+?)\\s+from\\s+%1(\\s|$)").arg(QRegularExpression::escape(table)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = plain.match(select);
    if (table.isEmpty() || !match.hasMatch())
        return select;
    QString list = match.captured(1).trimmed();
    if (list == QLatin1String("*"))
        list = table + QStringLiteral(".*");
    else if (list.contains(QLatin1Char('*')))
        return select;
    return QStringLiteral("select %1, %2.%3 from %2").arg(list, table, kRowVersion)
           + select.mid(match.capturedEnd(0) - match.captured(2).size());
}

UpdateSql UpdateSql::forTable(const QString &table, const QStringList &columns, const QString &keyColumn)
{
    QStringList parameters;
    QStringList assignments;
    for (const QString &column : columns) {
        parameters << QLatin1Char(':') + column;
        assignments << QStringLiteral("  %1 = :%1").arg(column);
    }
    const QString oldKey = QStringLiteral("%1 = :OLD_%1").arg(keyColumn);

    UpdateSql sql;
    sql.table = table;
    sql.keyColumn = keyColumn;
    sql.insertSql = QStringLiteral("insert into %1\n  (%2)\nvalues\n  (%3)")
                        .arg(table, columns.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", ")));
    sql.modifySql = QStringLiteral("update %1\nset\n%2\nwhere\n  %3 and %4 = :OLD_%4")
                        .arg(table, assignments.join(QStringLiteral(",\n")), oldKey, kRowVersion);
    sql.deleteSql = QStringLiteral("delete from %1\nwhere\n  %2").arg(table, oldKey);
    sql.rowVersionSql = QStringLiteral("select %1 from %2 where %3 = :%3").arg(kRowVersion, table, keyColumn);
    return sql;
}
