#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>

// A one-colour picture encoded as a file of the format ("PNG", "JPG", "BMP") holds it.
QByteArray pictureBytes(const char *format, QSize size = {300, 100}, const QColor &colour = QColor(200, 30, 30));

// A one-colour RGB PNG of any size, written row by row: pictures beyond Qt's
// allocation limit without the memory they decode to.
QByteArray largePngBytes(QSize size, const QColor &colour = QColor(200, 30, 30));
