#include "DataSource.h"

#include "ReportError.h"

#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "data/Win1252.h"

#include <cstring>

MemoryDataSource::MemoryDataSource(const QStringList &columns)
{
    for (int i = 0; i < columns.size(); ++i)
        m_columnOf.insert(columns.at(i).toUpper(), i);
}

void MemoryDataSource::addRow(const QVariantList &values)
{
    m_rows.append(values);
}

QVariant MemoryDataSource::value(const QString &field) const
{
    const auto column = m_columnOf.constFind(field.toUpper());
    if (column == m_columnOf.constEnd())
        throw ReportError(QStringLiteral("campo desconhecido: %1").arg(field));
    if (eof())
        return QVariant();
    return m_rows.at(m_current).value(*column);
}

DatasetSource::DatasetSource(Dataset &dataset) : m_dataset(dataset) {}

void DatasetSource::beginRows()
{
    m_dataset.disableControls();
}

void DatasetSource::endRows()
{
    m_dataset.enableControls();
}

void DatasetSource::first()
{
    m_dataset.first();
}

void DatasetSource::next()
{
    m_dataset.next();
}

bool DatasetSource::eof() const
{
    return m_dataset.eof();
}

QVariant DatasetSource::value(const QString &field) const
{
    auto index = m_indexOf.constFind(field);
    if (index == m_indexOf.constEnd()) {
        const Field *found = m_dataset.findField(field);
        if (!found)
            throw ReportError(QStringLiteral("campo desconhecido: %1").arg(field));
        index = m_indexOf.insert(field, found->index());
    }
    return m_dataset.fieldValue(*index);
}

DatasetQuerySource::DatasetQuerySource(Dataset &dataset, Database &database, Transaction &transaction)
    : m_dataset(dataset), m_database(database), m_transaction(transaction)
{
}

DatasetQuerySource::~DatasetQuerySource() = default;

void DatasetQuerySource::beginRows()
{
    if (!m_dataset.active())
        throw ReportError(QStringLiteral("A consulta %1 está fechada.").arg(m_dataset.objectName()));
    m_statement = std::make_unique<PreparedStatement>(m_database, m_dataset.sql().join(QLatin1Char('\n')));
    m_columnOf.clear();
}

void DatasetQuerySource::endRows()
{
    m_row = nullptr;
    m_cursor.reset();
    m_statement.reset();
}

void DatasetQuerySource::first()
{
    if (!m_statement)
        beginRows();
    m_row = nullptr;
    m_cursor.reset();
    QVariantList parameters;
    for (const QString &name : m_statement->parameterNames())
        parameters << m_dataset.param(name);
    m_cursor = m_statement->openCursor(m_transaction, parameters);
    m_row = m_cursor->fetchMessage();
}

void DatasetQuerySource::next()
{
    if (m_row)
        m_row = m_cursor->fetchMessage();
}

int DatasetQuerySource::columnOf(const QString &field) const
{
    auto found = m_columnOf.constFind(field);
    if (found != m_columnOf.constEnd())
        return *found;
    const QVector<ColumnInfo> &columns = m_statement->columns();
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c).name.compare(field, Qt::CaseInsensitive) == 0)
            return *m_columnOf.insert(field, c);
    }
    throw ReportError(QStringLiteral("campo desconhecido: %1").arg(field));
}

QVariant DatasetQuerySource::value(const QString &field) const
{
    if (!m_statement) {
        // Outside a walk through the rows (a title or summary band) the dataset's current row answers.
        const Field *found = m_dataset.findField(field);
        if (!found)
            throw ReportError(QStringLiteral("campo desconhecido: %1").arg(field));
        return m_dataset.fieldValue(found->index());
    }
    const int column = columnOf(field);
    if (!m_row)
        return QVariant();
    const MessageColumn &layout = m_statement->messageColumns().at(column);
    short null = 0;
    std::memcpy(&null, m_row + layout.nullOffset, sizeof null);
    if (null != 0)
        return QVariant();
    const QVariant stored = messageValue(layout, m_row + layout.offset);
    if (stored.userType() != qMetaTypeId<BlobId>())
        return stored;
    const QByteArray bytes = readBlob(m_database, m_transaction, stored.value<BlobId>());
    if (m_statement->columns().at(column).type == ColumnType::TextBlob)
        return win1252::decode(bytes);
    return bytes;
}
