#pragma once

#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QVector>

class Report;

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
    // The words a line at a time, top to bottom, each line left to right.
    QStringList lines() const;
    // How many words are exactly `word`.
    int count(const QString &word) const;
};

// Empty when pdftotext fails; the failure is printed.
QVector<PdfPage> readPdf(const QString &path);
// Prepares the report, exports it to a PDF file at path and reads that back.
QVector<PdfPage> pdfOf(Report &report, const QString &path);
// The number that begins each line "N dd/mm/aaaa ...", page after page: the receipts a listing shows.
QStringList listedReceiptNumbers(const QVector<PdfPage> &pages);
// The words of the pages that match the pattern, in page order.
QStringList wordsMatching(const QVector<PdfPage> &pages, const QRegularExpression &pattern);

// The fonts of the PDF by name, as pdffonts lists them.
QStringList fontNames(const QString &path);
// Those of them that are not embedded.
QStringList fontsNotEmbedded(const QString &path);

// The resolution (dots per inch across and down) at which each picture of the
// PDF is drawn, as pdfimages -list gives it; masks are not counted.
QVector<QSizeF> pictureResolutions(const QString &path);
