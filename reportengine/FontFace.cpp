#include "FontFace.h"

#include <QFontMetricsF>
#include <QImage>

#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace {

// Text that needs shaping is measured at print resolution.
constexpr double kMeasuringDpi = 1200;

QFont baseFont(const FontDesc &desc)
{
    QFont font(desc.family);
    font.setBold(desc.bold);
    font.setItalic(desc.italic);
    font.setKerning(false);
    return font;
}

double pixelSizeOf(const FontDesc &desc)
{
    return desc.pointSize * units::kPerInch / 72.0;
}

const QImage &measuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(kMeasuringDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

const FontFace &FontFace::of(const FontDesc &desc)
{
    using Key = std::tuple<QString, double, bool, bool>;
    thread_local std::map<Key, std::unique_ptr<FontFace>> faces;
    const Key key{desc.family, desc.pointSize, desc.bold, desc.italic};
    auto it = faces.find(key);
    if (it == faces.end())
        it = faces.emplace(key, std::make_unique<FontFace>(desc)).first;
    return *it->second;
}

FontFace::FontFace(const FontDesc &desc) : m_desc(desc), m_raw(QRawFont::fromFont(baseFont(desc)))
{
    m_raw.setPixelSize(pixelSizeOf(desc));
    if (m_raw.isValid()) {
        m_ascent = m_raw.ascent();
        m_descent = m_raw.descent();
    } else {
        const QFontMetricsF metrics(font(kMeasuringDpi), &measuringDevice());
        m_ascent = metrics.ascent();
        m_descent = metrics.descent();
    }
}

QFont FontFace::font(double deviceDpi) const
{
    QFont font = baseFont(m_desc);
    font.setPointSizeF(m_desc.pointSize * units::kPerInch / deviceDpi);
    return font;
}

bool FontFace::simple(const QString &text) const
{
    if (!m_raw.isValid())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Latin letters, digits and punctuation; combining marks and other scripts need shaping.
        if (u < 0x20 || (u >= 0x300 && u < 0x2000) || u >= 0x2070)
            if (u != 0x20ac)
                return false;
    }
    return true;
}

double FontFace::advance(const QString &text) const
{
    if (!simple(text))
        return QFontMetricsF(font(kMeasuringDpi), &measuringDevice()).horizontalAdvance(text);
    double width = 0;
    for (const QChar c : text) {
        auto it = m_advances.constFind(c.unicode());
        if (it == m_advances.constEnd()) {
            const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString(c));
            const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
            it = m_advances.insert(c.unicode(), advances.isEmpty() ? 0.0 : advances.first().x());
        }
        width += *it;
    }
    return width;
}

bool FontFace::glyphRun(const QString &text, QGlyphRun *run) const
{
    if (!simple(text))
        return false;
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(text);
    if (glyphs.size() != text.size() || glyphs.contains(0u))
        return false;
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    double x = 0;
    for (const QPointF &advance : advances) {
        positions.append(QPointF(x, 0));
        x += advance.x();
    }
    run->setRawFont(m_raw);
    run->setGlyphIndexes(glyphs);
    run->setPositions(positions);
    return true;
}
