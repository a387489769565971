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

} // namespace

void paintPage(const PreparedReport &report, int pageIndex, QPainter &painter)
{
    const double dpi = painter.device()->logicalDpiY();
    std::vector<const FontFace *> faces;
    for (const FontDesc &desc : report.fonts())
        faces.push_back(&FontFace::of(desc));
    QGlyphRun run;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    int currentFont = -1;
    QRgb currentPen = 0;
    bool penForText = false;
    const PreparedPage page = report.page(pageIndex);
    for (const Primitive &p : page.primitives) {
        switch (p.type) {
        case Primitive::Type::Fill:
            painter.fillRect(p.rect, QColor::fromRgba(p.color));
            break;
        case Primitive::Type::Line:
            painter.setPen(linePen(p));
            penForText = false;
            painter.drawLine(p.rect.topLeft(), p.rect.bottomRight());
            break;
        case Primitive::Type::Rectangle:
            painter.setPen(linePen(p));
            penForText = false;
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(p.rect);
            break;
        case Primitive::Type::Picture:
            painter.drawImage(p.rect, report.images().at(p.image));
            break;
        case Primitive::Type::Text: {
            if (!penForText || currentPen != p.color) {
                painter.setPen(QColor::fromRgba(p.color));
                currentPen = p.color;
                penForText = true;
            }
            const FontFace &face = *faces[p.font];
            double x = p.rect.left();
            if (p.align != Qt::AlignLeft) {
                // The advance measured at preparation: a screen's hinting must not move the text.
                const double free = p.rect.width() - p.width;
                x += p.align == Qt::AlignRight ? free : free / 2;
            }
            const QPointF baseline(x, p.rect.top() + face.ascent());
            if (!p.clip.isEmpty()) {
                painter.save();
                painter.setClipRect(p.clip, Qt::IntersectClip);
            }
            if (face.glyphRun(p.text, &run)) {
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
    painter.restore();
}

} // namespace pagerenderer
