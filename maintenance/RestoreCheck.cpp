#include "RestoreCheck.h"

#include "data/Database.h"
#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/Statement.h"
#include "data/Transaction.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

const QStringList kTables{QStringLiteral("CLIENTES"), QStringLiteral("EMITENTE"), QStringLiteral("RECIBOS"),
                          QStringLiteral("TIPO"), QStringLiteral("TIPO2")};

} // namespace

void RestoreOutput::add(const QString &line)
{
    static const QRegularExpression tableData(QStringLiteral("restoring data for table (\\S+)"));
    static const QRegularExpression rows(QStringLiteral("(\\d+) records restored"));
    if (const QRegularExpressionMatch match = tableData.match(line); match.hasMatch()) {
        m_table = match.captured(1);
        m_rows.insert(m_table, 0);
    } else if (const QRegularExpressionMatch match = rows.match(line); match.hasMatch() && !m_table.isEmpty()) {
        // Every ten thousand rows a line, the last one with the table's total.
        m_rows.insert(m_table, match.captured(1).toLongLong());
    } else if (line.contains(QLatin1String("created database"))) {
        m_created = true;
    } else if (line.contains(QLatin1String("finishing, closing, and going home"))) {
        m_finished = true;
    }
    if (line.contains(QLatin1String("ERROR")) && m_error.isEmpty())
        m_error = line.trimmed();
}

qint64 RestoreOutput::rowsRestored(const QString &table) const
{
    return m_rows.value(table, 0);
}

QString RestoreCheck::incompleteBackup(const QString &why)
{
    return QStringLiteral("O backup está incompleto (%1): o arquivo termina antes do fim dos dados, como acontece "
                          "com uma cópia interrompida.")
        .arg(why);
}

RestoreCheck::RestoreCheck(const QString &user, const QString &password)
    : m_user(user), m_password(password)
{
}

QMap<QString, QStringList> RestoreCheck::programTables()
{
    static const QRegularExpression createTable(QStringLiteral("^CREATE TABLE (\\w+) \\((.*)\\)$"),
                                                QRegularExpression::DotMatchesEverythingOption);
    QMap<QString, QStringList> tables;
    for (const QString &statement : databasecreator::splitScript(databasecreator::schemaScript())) {
        const QRegularExpressionMatch match = createTable.match(statement);
        if (!match.hasMatch() || !kTables.contains(match.captured(1)))
            continue;
        QStringList columns;
        // One column a line, constraints after them.
        for (const QString &line : match.captured(2).split(QLatin1Char('\n'))) {
            const QString name = line.trimmed().section(QLatin1Char(' '), 0, 0);
            if (!name.isEmpty() && name != QLatin1String("CONSTRAINT"))
                columns << name;
        }
        tables.insert(match.captured(1), columns);
    }
    return tables;
}

void RestoreCheck::verify(const QString &database, const RestoreOutput &output) const
{
    if (!output.error().isEmpty())
        throw DatabaseError(incompleteBackup(output.error()));
    if (!output.finished()) {
        throw DatabaseError(incompleteBackup(output.lastTable().isEmpty()
                                                 ? QStringLiteral("a restauração parou antes dos registros")
                                                 : QStringLiteral("a restauração parou nos registros de %1")
                                                       .arg(output.lastTable())));
    }

    Database base;
    base.setDatabaseName(database);
    base.setParams({QStringLiteral("user_name=") + m_user, QStringLiteral("password=") + m_password,
                    QStringLiteral("lc_ctype=WIN1252")});
    Transaction transaction;
    transaction.setDefaultDatabase(&base);
    transaction.setParams({QStringLiteral("read"), QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                           QStringLiteral("nowait")});
    try {
        base.open();
    } catch (const DatabaseError &error) {
        throw DatabaseError(QStringLiteral("O banco restaurado não abre.\n\nDetalhe técnico: %1").arg(error.message()));
    }
    base.setDefaultTransaction(&transaction);

    QSet<QString> present;
    const auto cursor = base.prepared(QStringLiteral("select trim(RDB$RELATION_NAME) || '.' || trim(RDB$FIELD_NAME) "
                                                     "from RDB$RELATION_FIELDS"))
                            .openCursor(transaction);
    for (Row row; cursor->fetch(row);)
        present.insert(row.value(0).toString());
    cursor->close();

    const QMap<QString, QStringList> tables = programTables();
    for (auto table = tables.cbegin(); table != tables.cend(); ++table) {
        for (const QString &column : table.value()) {
            const QString name = table.key() + QLatin1Char('.') + column;
            if (present.contains(name))
                continue;
            const bool noTable = !std::any_of(present.cbegin(), present.cend(), [&](const QString &known) {
                return known.startsWith(table.key() + QLatin1Char('.'));
            });
            throw DatabaseError(noTable ? QStringLiteral("O backup não é de um banco do Quindelo: falta a tabela %1.")
                                              .arg(table.key())
                                        : QStringLiteral("O backup não é de um banco do Quindelo: falta a coluna %1.")
                                              .arg(name));
        }
    }
    for (const QString &table : tables.keys()) {
        // The table names come from the program's own schema.
        const qint64 rows = base.prepared(QStringLiteral("select count(*) from ") + table).execute(transaction).value(0).toLongLong();
        if (rows != output.rowsRestored(table)) {
            throw DatabaseError(incompleteBackup(QStringLiteral("%1 tem %2 registros, o Firebird restaurou %3")
                                               .arg(table)
                                               .arg(rows)
                                               .arg(output.rowsRestored(table))));
        }
    }
    transaction.commit();
    base.close();
}
