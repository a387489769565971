#pragma once

#include <QRectF>
#include <QString>
#include <QVector>

// A PDF read back with poppler's pdftotext -bbox: the words of each page with
// their boxes, in 1/96 inch from the page's top-left corner.
struct PdfWord
{
    QString text;
    QRectF box;
};

struct PdfPage
{
    QSizeF size; // 1/96 inch
    QVector<PdfWord> words;

    QString text() const; // the words joined by blanks
    QVector<PdfWord> wordsInside(const QRectF &area, double tolerance) const;
    // The words that lie within the area, joined by blanks.
    QString textInside(const QRectF &area, double tolerance) const;
};

// Empty when pdftotext fails; the failure is printed.
QVector<PdfPage> readPdf(const QString &path);
// The fonts of the PDF that are not embedded, as pdffonts lists them.
QStringList fontsNotEmbedded(const QString &path);
