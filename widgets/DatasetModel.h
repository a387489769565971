#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class Dataset;

// The rows a dataset has read so far, as a table; it holds no copy of them and
// asks the dataset for more as a view scrolls towards the end.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString fieldName;
        QString title;
        int width = 64;
    };
    // As the dataset grows its row buffer.
    static constexpr int kFetchBatch = 1000;
    // A screenful first, then as many rows as are read already, up to a whole
    // batch: a list re-issued at each keystroke reads little more than it shows.
    static constexpr int kFirstBatch = 32;

    explicit DatasetModel(QObject *parent = nullptr);

    void setDataset(Dataset *dataset, const QList<Column> &columns);
    Dataset *dataset() const { return m_dataset; }
    const QList<Column> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void rowChanged(int row);

    QPointer<Dataset> m_dataset;
    QList<Column> m_columns;
};
