#pragma once

#include <QColor>
#include <QStringList>

class QTableView;
class QWidget;

// How well a user can read what a screen draws, measured on the drawn pixels.

// The contrast ratio of two colours as WCAG defines it: 1 (none) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// The contrast of the text drawn in `widget` against its background, from a
// picture of its window: the background is the commonest colour inside the
// widget (less `inset` pixels of frame), the text the colour that stands out
// most from it. 1 when nothing is drawn there.
double drawnTextContrast(QWidget *widget, int inset = 3);

// Visible labels under `root` whose text is wider than the room they have
// (their own width, or the part of it their parent shows), as "name: text".
QStringList clippedLabels(QWidget *root);

// Column headings of the grid, and the cells of the given columns in the
// fetched rows, that are wider than their column, as "column: text".
QStringList clippedCells(QTableView *grid, const QList<int> &wholeColumns);
