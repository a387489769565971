#include "PictureDecoding.h"

#include <QBuffer>
#include <QImageReader>

namespace picturedecoding {

namespace {

const char *formatOf(const QByteArray &bytes)
{
    if (bytes.startsWith("BM"))
        return "BMP";
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return "JPEG";
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return "PNG";
    return nullptr;
}

} // namespace

QImage decode(const QByteArray &bytes, const QSize &bound, Qt::AspectRatioMode mode)
{
    const char *format = formatOf(bytes);
    if (!format)
        return {};
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isEmpty())
        return {};
    if (bound.isValid() && !bound.isEmpty() && (size.width() > bound.width() || size.height() > bound.height())) {
        const QSize reduced = mode == Qt::IgnoreAspectRatio ? size.boundedTo(bound) : size.scaled(bound, mode);
        reader.setScaledSize(reduced.expandedTo(QSize(1, 1)));
    }
    return reader.read();
}

bool isPicture(const QByteArray &bytes)
{
    // Small, yet every row is read, so a PNG cut short is found out.
    constexpr int kCheck = 64;
    return !decode(bytes, QSize(kCheck, kCheck)).isNull();
}

} // namespace picturedecoding
