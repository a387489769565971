#include "Pictures.h"

#include <QBuffer>
#include <QImage>

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
