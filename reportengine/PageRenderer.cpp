#include "PageRenderer.h"

#include "FontFace.h"

#include <QGlyphRun>

#include <QPaintDevice>

#include <vector>

namespace pagerenderer {

namespace {

QPen linePen(const Primitive &primitive)
{
    QPen pen(QColor::fromRgba(primitive.color), primitive.width);
    pen.setCapStyle(Qt::FlatCap);
    switch (primitive.lineStyle) {
    case LineStyle::Solid:
        break;
    case LineStyle::Dotted:
        pen.setStyle(Qt::DotLine);
        break;
    case LineStyle::SquareDots:
        pen.setDashPattern({1, 1});
        break;
    }
    return pen;
}

// Lines of text that follow one another in one font and colour, drawn as one
// glyph run: the rows of a listing's page become one run instead of hundreds,
// which the PDF writer turns into a fraction of the output.
class GlyphBatch
{
public:
    explicit GlyphBatch(QPainter &painter) : m_painter(painter) {}

    void add(const FontFace &face, QRgb color, const QPointF &baseline, const QGlyphRun &run)
    {
        if (!m_glyphs.isEmpty() && (&face != m_face || color != m_color))
            flush();
        if (m_glyphs.isEmpty()) {
            m_face = &face;
            m_color = color;
            m_font = run.rawFont();
        }
        m_glyphs += run.glyphIndexes();
        for (const QPointF &position : run.positions())
            m_positions.append(baseline + position);
    }

    void flush()
    {
        if (m_glyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes(m_glyphs);
        run.setPositions(m_positions);
        m_painter.setPen(QColor::fromRgba(m_color));
        m_painter.drawGlyphRun(QPointF(0, 0), run);
        m_glyphs.clear();
        m_positions.clear();
    }

private:
    QPainter &m_painter;
    const FontFace *m_face = nullptr;
    QRgb m_color = 0;
    QRawFont m_font;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};

} // namespace

void paintPage(const PreparedReport &report, int pageIndex, QPainter &painter)
{
    const double dpi = painter.device()->logicalDpiY();
    std::vector<const FontFace *> faces;
    for (const FontDesc &desc : report.fonts())
        faces.push_back(&FontFace::of(desc));
    const QVector<QImage> images = report.images();
    QGlyphRun run;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    int currentFont = -1;
    GlyphBatch batch(painter);
    const PreparedPage page = report.page(pageIndex);
    for (const Primitive &p : page.primitives) {
        if (p.type != Primitive::Type::Text)
            batch.flush();
        switch (p.type) {
        case Primitive::Type::Fill:
            painter.fillRect(p.rect, QColor::fromRgba(p.color));
            break;
        case Primitive::Type::Line:
            painter.setPen(linePen(p));
            painter.drawLine(p.rect.topLeft(), p.rect.bottomRight());
            break;
        case Primitive::Type::Rectangle:
            painter.setPen(linePen(p));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(p.rect);
            break;
        case Primitive::Type::Picture:
            painter.drawImage(p.rect, images.at(p.image));
            break;
        case Primitive::Type::Text: {
            const FontFace &face = *faces[p.font];
            double x = p.rect.left();
            if (p.align != Qt::AlignLeft) {
                // The advance measured at preparation: a screen's hinting must not move the text.
                const double free = p.rect.width() - p.width;
                x += p.align == Qt::AlignRight ? free : free / 2;
            }
            const QPointF baseline(x, p.rect.top() + face.ascent());
            const bool simple = face.glyphRun(p.text, &run);
            if (simple && p.clip.isEmpty()) {
                batch.add(face, p.color, baseline, run);
                break;
            }
            batch.flush();
            painter.setPen(QColor::fromRgba(p.color));
            if (!p.clip.isEmpty()) {
                painter.save();
                painter.setClipRect(p.clip, Qt::IntersectClip);
            }
            if (simple) {
                painter.drawGlyphRun(baseline, run);
            } else {
                if (p.font != currentFont) {
                    painter.setFont(face.font(dpi));
                    currentFont = p.font;
                }
                painter.drawText(baseline, p.text);
            }
            if (!p.clip.isEmpty())
                painter.restore();
            break;
        }
        }
    }
    batch.flush();
    painter.restore();
}

} // namespace pagerenderer
