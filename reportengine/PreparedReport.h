#pragma once

#include "ReportLayout.h"

#include <QImage>
#include <QIODevice>
#include <QRectF>
#include <QVector>

// What a page is drawn from: primitives at absolute positions in units,
// in drawing order. Texts are already broken into lines.
struct Primitive
{
    enum class Type : quint8 { Text, Line, Rectangle, Fill, Picture };

    Type type = Type::Text;
    // Text: the line's box (inner gaps applied); Line: from topLeft to bottomRight.
    QRectF rect;
    // Text only: where the text is cut off; empty when it fits.
    QRectF clip;
    QString text;
    QRgb color = 0xff000000;
    quint8 align = 0; // Qt::AlignLeft / AlignHCenter / AlignRight
    LineStyle lineStyle = LineStyle::Solid;
    double width = 1; // pen width of lines and rectangles; Text: the text's advance at preparation
    int font = -1;    // Text: index into fonts()
    int image = -1;   // Picture: index into images()
};

struct PreparedPage
{
    QSizeF size; // units
    QVector<Primitive> primitives;
};

class PreparedReport
{
public:
    int pageCount() const { return int(m_pages.size()); }
    const PreparedPage &page(int index) const { return m_pages.at(index); }
    const QVector<FontDesc> &fonts() const { return m_fonts; }
    const QVector<QImage> &images() const { return m_images; }

    PreparedPage &addPage(const QSizeF &size);
    int fontIndex(const FontDesc &font);
    int imageIndex(const QImage &image);
    void clear();
    // Adds the other report's pages after these.
    void append(const PreparedReport &other);

    // Pages whose texts contain the text, ignoring case, from page `from` on; -1 when none.
    int findText(const QString &text, int from) const;

    // The prepared-pages file; load throws ReportError on a file that is not one.
    void save(QIODevice &device) const;
    static PreparedReport load(QIODevice &device);
    void saveToFile(const QString &path) const;
    static PreparedReport loadFromFile(const QString &path);

private:
    QVector<PreparedPage> m_pages;
    QVector<FontDesc> m_fonts;
    QVector<QImage> m_images;
};
