#pragma once

#include "DatasetModel.h"

#include <QTableView>

// A read-only grid over a dataset: title row, row indicator, Tab between
// columns. Its current row and the dataset's current row follow each other.
class DBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DBGrid(const QString &objectName, QWidget *parent = nullptr);

    void setDataset(Dataset *dataset, const QList<DatasetModel::Column> &columns);
    DatasetModel *datasetModel() const { return m_model; }

signals:
    // A double click anywhere in the grid, rows or none.
    void gridDoubleClicked();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void followDataset();

    DatasetModel *m_model;
    bool m_following = false;
};
