#include "DBGrid.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"

#include <QHeaderView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace {

// A cell's text on one line, cut off at the cell's edge as a classic data grid
// does: no line breaking and no elision, which cost more than the drawing itself.
// Texts are shaped once and kept, for the rows a narrower search shows again.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QPalette::ColorGroup group = cell.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        const bool selected = cell.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
        const int margin = cell.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &cell, cell.widget) + 1;
        const QRect text = cell.rect.adjusted(margin, 0, -margin, 0);
        const QFontMetrics &metrics = cell.fontMetrics;
        painter->save();
        painter->setClipRect(text);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawStaticText(QPointF(text.left(), text.top() + (text.height() - metrics.height()) / 2), shaped(cell.text));
        painter->restore();
        if (cell.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(cell);
            focus.backgroundColor = cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            cell.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, cell.widget);
        }
    }

private:
    static constexpr int kKeptTexts = 2000;

    const QStaticText &shaped(const QString &text) const
    {
        auto kept = m_shaped.find(text);
        if (kept == m_shaped.end()) {
            if (m_shaped.size() >= kKeptTexts)
                m_shaped.clear();
            QStaticText staticText(text);
            staticText.setTextFormat(Qt::PlainText);
            kept = m_shaped.insert(text, staticText);
        }
        return *kept;
    }

    mutable QHash<QString, QStaticText> m_shaped;
};

} // namespace

DBGrid::DBGrid(const QString &objectName, QWidget *parent)
    : QTableView(parent), m_model(new DatasetModel(this))
{
    setObjectName(objectName);
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
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
    // The scroll bar counts rows, so keeping rows in sight is a matter of adding to its value.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &DBGrid::verticalAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DBGrid::keepGapOutOfSight);
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
    // Before the next paint, and not at all for a grid hidden by then (a lookup closing).
    QMetaObject::invokeMethod(this, &DBGrid::keepGapOutOfSight, Qt::QueuedConnection);
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

void DBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    keepGapOutOfSight();
}

void DBGrid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    keepGapOutOfSight();
}

void DBGrid::verticalAction(int action)
{
    const QScrollBar *bar = verticalScrollBar();
    const bool toBottom = action == QAbstractSlider::SliderToMaximum
                          || (action == QAbstractSlider::SliderMove && bar->sliderPosition() == bar->maximum());
    if (toBottom)
        showLastRows();
}

void DBGrid::showLastRows()
{
    Dataset *dataset = m_model->dataset();
    if (!dataset || !dataset->active() || dataset->endRead())
        return;
    guarded([&] { dataset->readLast(DatasetModel::kFetchBatch); });
    updateGeometries();
    scrollToBottom();
}

void DBGrid::keepGapOutOfSight()
{
    Dataset *dataset = m_model->dataset();
    // A hidden grid reads nothing for the rows it does not show.
    if (m_keepingGap || !isVisible() || !dataset || !dataset->active() || dataset->gapAt() < 0)
        return;
    const QScopedValueRollback<bool> keeping(m_keepingGap, true);
    constexpr int kMargin = DatasetModel::kFetchBatch;
    guarded([&] {
        for (int at = dataset->gapAt(); at >= 0; at = dataset->gapAt()) {
            const int top = verticalScrollBar()->value();
            const int bottom = top + viewport()->height() / qMax(1, verticalHeader()->defaultSectionSize());
            if (at < top - kMargin || at > bottom + kMargin)
                return;
            // Rows read in below the first row in sight leave it in place; above it they push it down.
            if (at > top) {
                dataset->fetchGapFromTop(kMargin);
                continue;
            }
            int read = dataset->fetchGapFromEnd(kMargin);
            if (read == 0)
                read = dataset->fetchGapFromTop(kMargin);
            updateGeometries();
            verticalScrollBar()->setValue(top + read);
        }
    });
}
