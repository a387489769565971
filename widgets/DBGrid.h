#pragma once

#include "DatasetModel.h"

#include <QTableView>

// A read-only grid over a dataset: title row, row indicator, Tab between
// columns. Its current row and the dataset's current row follow each other.
// Taking the scroll bar to its bottom shows the list's last rows at once, as
// last() would; the rows left unread before them are read as they come near.
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
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void followDataset();
    void verticalAction(int action);
    void showLastRows();
    void keepGapOutOfSight();

    DatasetModel *m_model;
    bool m_following = false;
    bool m_keepingGap = false;
};
