#include "Pictures.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <zlib.h>

QByteArray pictureBytes(const char *format, QSize size, const QColor &colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("Could not encode a %s picture", format);
    return bytes;
}

namespace {

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    uchar length[4];
    qToBigEndian(quint32(data.size()), length);
    uchar crc[4];
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))), crc);
    png += QByteArray(reinterpret_cast<const char *>(length), 4) + body + QByteArray(reinterpret_cast<const char *>(crc), 4);
}

} // namespace

QByteArray largePngBytes(QSize size, const QColor &colour)
{
    QByteArray header(13, '\0');
    qToBigEndian(quint32(size.width()), header.data());
    qToBigEndian(quint32(size.height()), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB

    // The first row holds the colour once and says "as the pixel to the left"
    // for the rest; every other row says "as the row above". Nearly all zeros,
    // which compress as far as they can and fast.
    QByteArray first(1 + 3 * size.width(), '\0');
    first[0] = 1;
    first[1] = char(colour.red());
    first[2] = char(colour.green());
    first[3] = char(colour.blue());
    QByteArray next(first.size(), '\0');
    next[0] = 2;
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK)
        qFatal("deflateInit failed");
    QByteArray compressed;
    char out[1 << 16];
    for (int y = 0; y < size.height(); ++y) {
        QByteArray &row = y == 0 ? first : next;
        stream.next_in = reinterpret_cast<Bytef *>(row.data());
        stream.avail_in = uInt(row.size());
        const int flush = y + 1 == size.height() ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            compressed.append(out, int(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);

    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}
