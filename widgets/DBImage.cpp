#include "DBImage.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"

#include <QMouseEvent>
#include <QPainter>

QImage decodePicture(const QByteArray &bytes)
{
    // The format is taken from the file's signature, never from a guess.
    const char *format = nullptr;
    if (bytes.startsWith("BM"))
        format = "BMP";
    else if (bytes.startsWith("\xFF\xD8\xFF"))
        format = "JPEG";
    else if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        format = "PNG";
    return format ? QImage::fromData(bytes, format) : QImage();
}

DBImage::DBImage(const QString &objectName, QWidget *parent)
    : QWidget(parent), m_binding(this)
{
    setObjectName(objectName);
    connect(&m_binding, &FieldBinding::changed, this, &DBImage::reload);
}

void DBImage::setDataField(Dataset *dataset, const QString &fieldName)
{
    m_binding.bind(dataset, fieldName);
    reload();
}

void DBImage::reload()
{
    const Field *bound = m_binding.activeField();
    QByteArray bytes;
    if (bound)
        guarded([&] { bytes = bound->asBytes(); });
    m_picture = decodePicture(bytes);
    update();
}

void DBImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

void DBImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
