#include "DBGrid.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"

#include <QHeaderView>

DBGrid::DBGrid(const QString &objectName, QWidget *parent)
    : QTableView(parent), m_model(new DatasetModel(this))
{
    setObjectName(objectName);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    // The columns keep their fixed pixel widths: a narrow face at 8 points
    // shows whole dates, amounts and headings in them.
    QFont face(QStringLiteral("Arial"));
    face.setPixelSize(11);
    setFont(face);
    // Under a form's style sheet the header would not inherit it.
    horizontalHeader()->setFont(face);
    // Fixed row heights keep a view over a million rows cheap.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void DBGrid::setDataset(Dataset *dataset, const QList<DatasetModel::Column> &columns)
{
    if (m_model->dataset())
        disconnect(m_model->dataset(), nullptr, this, nullptr);
    m_model->setDataset(dataset, columns);
    for (int c = 0; c < columns.size(); ++c)
        setColumnWidth(c, columns.at(c).width);
    if (dataset) {
        connect(dataset, &Dataset::currentChanged, this, &DBGrid::followDataset);
        // The model resets after the dataset's own signal; follow once it has.
        connect(dataset, &Dataset::reset, this, &DBGrid::followDataset);
    }
    followDataset();
}

void DBGrid::followDataset()
{
    const Dataset *dataset = m_model->dataset();
    const int row = dataset ? dataset->recNo() : -1;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount())
        setCurrentIndex({});
    else
        setCurrentIndex(m_model->index(row, qMax(0, currentIndex().column())));
    m_following = false;
    verticalHeader()->viewport()->update();
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    Dataset *dataset = m_model->dataset();
    if (m_following || !dataset || !current.isValid() || current.row() == dataset->recNo())
        return;
    guarded([&] { dataset->moveTo(current.row()); });
    verticalHeader()->viewport()->update();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}
