#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWidget>

ModalDriver::ModalDriver(const QString &windowName, Action action)
    : m_windowName(windowName), m_action(std::move(action))
{
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start(5);
}

ModalDriver::Action ModalDriver::click(const QString &buttonName)
{
    return [buttonName](QWidget *window) {
        QWidget *button = window->findChild<QWidget *>(buttonName);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
    };
}

void ModalDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    // Keys go where the focus is: wait until the window is also the active one.
    if (!modal || modal->objectName() != m_windowName || !modal->isVisible() || QApplication::activeWindow() != modal)
        return;
    m_timer.stop();
    m_acted = true;
    m_action(modal);
}
