#include "UpdateSql.h"

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
    sql.insertSql = QStringLiteral("insert into %1\n  (%2)\nvalues\n  (%3)")
                        .arg(table, columns.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", ")));
    sql.modifySql = QStringLiteral("update %1\nset\n%2\nwhere\n  %3")
                        .arg(table, assignments.join(QStringLiteral(",\n")), oldKey);
    sql.deleteSql = QStringLiteral("delete from %1\nwhere\n  %2").arg(table, oldKey);
    return sql;
}
