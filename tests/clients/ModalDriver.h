#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Acts once on a modal window when it is the active modal one, from inside
// the nested event loop that showing it modally runs.
class ModalDriver : public QObject
{
public:
    using Action = std::function<void(QWidget *window)>;

    ModalDriver(const QString &windowName, Action action);
    // Clicks the named button of the named dialog.
    static Action click(const QString &buttonName);

    bool acted() const { return m_acted; }

private:
    void poll();

    QString m_windowName;
    Action m_action;
    QTimer m_timer;
    bool m_acted = false;
};
