#pragma once

#include "PageStore.h"
#include "ReportLayout.h"

#include <QImage>
#include <QIODevice>
#include <QRectF>
#include <QVector>

#include <memory>
#include <mutex>

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

// The pages of a report, kept packed in a PageStore and unpacked one at a
// time to be drawn. A copy has pages of its own. Pages may be added on one
// thread while others are read on another.
class PreparedReport
{
public:
    explicit PreparedReport(PageStore::Limits limits = {});
    PreparedReport(const PreparedReport &other);
    PreparedReport &operator=(const PreparedReport &other);
    // The other is left empty.
    PreparedReport(PreparedReport &&other);
    PreparedReport &operator=(PreparedReport &&other);
    ~PreparedReport();

    int pageCount() const;
    // Throws ReportError when the temporary file cannot be read back.
    PreparedPage page(int index) const;
    QSizeF pageSize(int index) const;
    QVector<FontDesc> fonts() const;
    QVector<QImage> images() const;
    // Where the packed pages are.
    qint64 bytesInMemory() const;
    qint64 bytesSpilled() const;

    // Throws ReportError when the temporary file cannot take the page.
    void addPage(const PreparedPage &page);
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
    mutable std::mutex m_lock;
    std::unique_ptr<PageStore> m_store;
    QVector<QSizeF> m_sizes;
    QVector<FontDesc> m_fonts;
    QVector<QImage> m_images;
};
