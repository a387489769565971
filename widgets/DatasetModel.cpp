#include "DatasetModel.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"
#include "data/ValueText.h"

DatasetModel::DatasetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void DatasetModel::setDataset(Dataset *dataset, const QList<Column> &columns)
{
    beginResetModel();
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    m_columns = columns;
    if (dataset) {
        connect(dataset, &Dataset::aboutToReset, this, &DatasetModel::beginResetModel);
        connect(dataset, &Dataset::reset, this, &DatasetModel::endResetModel);
        connect(dataset, &Dataset::rowsAboutToBeFetched, this,
                [this](int first, int last) { beginInsertRows({}, first, last); });
        connect(dataset, &Dataset::rowsFetched, this, &DatasetModel::endInsertRows);
        connect(dataset, &Dataset::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
        connect(dataset, &Dataset::rowInserted, this, &DatasetModel::endInsertRows);
        connect(dataset, &Dataset::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
        connect(dataset, &Dataset::rowRemoved, this, &DatasetModel::endRemoveRows);
        connect(dataset, &Dataset::rowUpdated, this, &DatasetModel::rowChanged);
        connect(dataset, &Dataset::fieldChanged, this, [this] { rowChanged(m_dataset->recNo()); });
    }
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_dataset ? 0 : m_dataset->rowCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !m_dataset || !index.isValid())
        return {};
    const Field *field = m_dataset->findField(m_columns.at(index.column()).fieldName);
    if (!field)
        return {};
    return valuetext::displayText(m_dataset->valueAt(index.row(), field->index()), field->displayFormat());
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section < m_columns.size())
            return m_columns.at(section).title;
        return {};
    }
    // The row indicator marks the current row.
    if (role == Qt::DisplayRole)
        return m_dataset && section == m_dataset->recNo() ? QStringLiteral("\u25B6") : QString();
    return {};
}

// More rows after the last one: rows left unread before it are the grid's to read.
bool DatasetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_dataset && m_dataset->active() && !m_dataset->endRead();
}

void DatasetModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        guarded([this] { m_dataset->fetchAfterLast(qBound(kFirstBatch, m_dataset->rowCount(), kFetchBatch)); });
}

void DatasetModel::rowChanged(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
