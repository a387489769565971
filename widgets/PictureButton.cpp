#include "PictureButton.h"

#include <QMouseEvent>

PictureButton::PictureButton(const QString &objectName, const QString &picture, const QString &hint, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    setPicture(picture);
}

PictureButton *PictureButton::textPanel(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *panel = new PictureButton(objectName, QString(), QString(), parent);
    panel->setText(text);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

void PictureButton::setPicture(const QString &picture)
{
    const QPixmap pixmap(picture);
    setPixmap(pixmap);
    if (!pixmap.isNull())
        setFixedSize(pixmap.size());
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
