#include "DataSource.h"

#include "ReportError.h"

#include "data/Dataset.h"

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
