#include "Legibility.h"

#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QStyle>
#include <QTableView>

#include <cmath>

namespace {

double luminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

double drawnTextContrast(QWidget *widget, int inset)
{
    // What the user sees: the window drawn as a whole, cut to the widget.
    QWidget *window = widget->window();
    const QRect area = QRect(widget->mapTo(window, QPoint(0, 0)), widget->size()).adjusted(inset, inset, -inset, -inset);
    const QImage picture = window->grab(area).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y) | 0xff000000];
    }
    if (counts.isEmpty())
        return 1.0;
    QRgb background = counts.constBegin().key();
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (it.value() > counts.value(background))
            background = it.key();
    }
    double best = 1.0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        best = qMax(best, contrastRatio(QColor(it.key()), QColor(background)));
    return best;
}

QStringList clippedLabels(QWidget *root)
{
    QStringList clipped;
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty() || label->wordWrap()
            || label->textFormat() == Qt::RichText)
            continue;
        const int margins = 2 * label->margin() + qMax(0, label->indent());
        const int needed = widestLine(label->fontMetrics(), label->text()) + margins;
        int room = label->contentsRect().width();
        if (const QWidget *parent = label->parentWidget())
            room = qMin(room, parent->rect().intersected(label->geometry()).width());
        if (needed > room)
            clipped << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(label->objectName(), label->text()).arg(needed).arg(room);
    }
    return clipped;
}

QStringList clippedCells(QTableView *grid, const QList<int> &wholeColumns)
{
    QStringList clipped;
    const QAbstractItemModel *model = grid->model();
    const QHeaderView *header = grid->horizontalHeader();
    // The text margins the style leaves in a cell and in a heading, and the grid line.
    const int cellMargin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    const int headerMargin = grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int line = grid->showGrid() ? 1 : 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        const int width = grid->columnWidth(column);
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        if (header->fontMetrics().horizontalAdvance(title) + 2 * headerMargin > width)
            clipped << QStringLiteral("%1: heading \"%2\"").arg(column).arg(title);
        if (!wholeColumns.contains(column))
            continue;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->index(row, column).data().toString();
            if (grid->fontMetrics().horizontalAdvance(text) + 2 * cellMargin + line > width)
                clipped << QStringLiteral("%1: \"%2\"").arg(column).arg(text);
        }
    }
    return clipped;
}
