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
    const QImage &picture() const { return m_picture; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void reload();

    FieldBinding m_binding;
    QImage m_picture;
};

// Decodes the bytes of a BMP, JPEG or PNG file; a null image for anything else.
QImage decodePicture(const QByteArray &bytes);
