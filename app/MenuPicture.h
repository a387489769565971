#pragma once

#include <QLabel>

// A picture or caption of the main menu: a hand cursor, never the focus, and
// a click signal for those that react.
class MenuPicture : public QLabel
{
    Q_OBJECT
public:
    MenuPicture(const QString &objectName, QWidget *parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
