#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal windows a test's clicks open (message dialogs, message
// boxes, lookup screens) once each is the active window, so that keys reach it:
// each one seen is recorded by its object name and texts, then the next
// planned answer runs on it. An unplanned window is closed with its "OK"
// button, or hidden.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    struct Seen
    {
        QString name;
        QStringList texts;
    };
    using Answer = std::function<void(QWidget *window)>;

    ModalAnswerer();

    // Plans the answer to the next modal window that shows up.
    void then(Answer answer) { m_answers << answer; }
    void thenClick(const QString &buttonText);
    void thenClickNamed(const QString &objectName);

    const QList<Seen> &seen() const { return m_seen; }
    QStringList names() const;
    void clear() { m_seen.clear(); }

    static void clickButton(QWidget *window, const QString &text);

private:
    void poll();

    QTimer m_timer;
    QList<Answer> m_answers;
    QList<Seen> m_seen;
    QWidget *m_last = nullptr;
    QList<QPointer<QWidget>> m_alreadyOpen;
};
