#pragma once

#include <QLabel>

// A picture used as a button: a hint, a hand cursor, clicks only, never the focus.
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    PictureButton(const QString &objectName, const QString &picture, const QString &hint, QWidget *parent = nullptr);
    // A command shown as its text in a raised panel.
    static PictureButton *textPanel(const QString &objectName, const QString &text, QWidget *parent);

    void setPicture(const QString &picture);

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
