#include "PageRenderer.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <vector>

namespace pagerenderer {

QFont fontFor(const FontSpec &spec, double deviceDpi)
{
    QFont font(spec.family);
    font.setPointSizeF(spec.pointSize * units::kPerInch / deviceDpi);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    return font;
}

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
    std::vector<QFont> fonts;
    std::vector<QFontMetricsF> metrics;
    for (const FontSpec &spec : report.fonts()) {
        fonts.push_back(fontFor(spec, dpi));
        metrics.emplace_back(fonts.back(), painter.device());
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    int currentFont = -1;
    QRgb currentPen = 0;
    bool penForText = false;
    for (const Primitive &p : report.page(pageIndex).primitives) {
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
            if (p.font != currentFont) {
                painter.setFont(fonts[p.font]);
                currentFont = p.font;
            }
            if (!penForText || currentPen != p.color) {
                painter.setPen(QColor::fromRgba(p.color));
                currentPen = p.color;
                penForText = true;
            }
            const QFontMetricsF &fm = metrics[p.font];
            double x = p.rect.left();
            if (p.align != Qt::AlignLeft) {
                const double free = p.rect.width() - fm.horizontalAdvance(p.text);
                x += p.align == Qt::AlignRight ? free : free / 2;
            }
            const QPointF baseline(x, p.rect.top() + fm.ascent());
            if (p.clip.isEmpty()) {
                painter.drawText(baseline, p.text);
            } else {
                painter.save();
                painter.setClipRect(p.clip, Qt::IntersectClip);
                painter.drawText(baseline, p.text);
                painter.restore();
            }
            break;
        }
        }
    }
    painter.restore();
}

} // namespace pagerenderer
