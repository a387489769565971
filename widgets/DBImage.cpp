#include "DBImage.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"
#include "reportengine/PictureDecoding.h"

#include <QMouseEvent>
#include <QPainter>

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
    // The row's state changes often; its picture seldom.
    if (m_decoded && bytes == m_bytes)
        return;
    m_bytes = bytes;
    m_decoded = false;
    update();
}

const QImage &DBImage::picture() const
{
    if (!m_decoded) {
        const QSize frame = (QSizeF(size()) * devicePixelRatioF()).toSize();
        m_picture = picturedecoding::decode(m_bytes, frame, Qt::IgnoreAspectRatio);
        m_decoded = true;
    }
    return m_picture;
}

void DBImage::paintEvent(QPaintEvent *)
{
    const QImage &image = picture();
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image);
}

void DBImage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_decoded = false;
}

void DBImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
