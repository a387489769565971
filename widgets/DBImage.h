#pragma once

#include "FieldBinding.h"

#include <QImage>
#include <QWidget>

class Dataset;

// A picture bound to a blob field: the bytes of a BMP, JPEG or PNG file,
// stretched to the frame. Other bytes show nothing.
class DBImage : public QWidget
{
    Q_OBJECT
public:
    explicit DBImage(const QString &objectName, QWidget *parent = nullptr);

    void setDataField(Dataset *dataset, const QString &fieldName);
    // The field's picture as the frame draws it, decoded at no more than the frame's size.
    const QImage &picture() const;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void reload();

    FieldBinding m_binding;
    QByteArray m_bytes;
    // Decoded when first needed: a frame that is never drawn never decodes.
    mutable QImage m_picture;
    mutable bool m_decoded = false;
};
