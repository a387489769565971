#include "ModalAnswerer.h"

#include "ScreenTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

ModalAnswerer::ModalAnswerer()
{
    // Windows already open (the screen under test) are not answered.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            m_alreadyOpen << window;
    }
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::thenClick(const QString &buttonText)
{
    then([buttonText](QWidget *window) { clickButton(window, buttonText); });
}

void ModalAnswerer::thenClickNamed(const QString &objectName)
{
    then([objectName](QWidget *window) { clickNamed(window, objectName); });
}

QStringList ModalAnswerer::names() const
{
    QStringList list;
    for (const Seen &s : m_seen)
        list << s.name;
    return list;
}

void ModalAnswerer::clickButton(QWidget *window, const QString &text)
{
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->text().remove(QLatin1Char('&')) == text && button->isVisible()) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    qWarning("No button \"%s\" in %s", qPrintable(text), qPrintable(window->objectName()));
    window->hide();
}

void ModalAnswerer::poll()
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window || !window->isVisible() || window == m_last || m_alreadyOpen.contains(window)
        || QApplication::activeWindow() != window)
        return;
    m_last = window;
    Seen seen{window->objectName(), {}};
    if (auto *box = qobject_cast<QMessageBox *>(window))
        seen.texts << box->text();
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->isVisible() && !label->text().isEmpty())
            seen.texts << label->text();
    }
    m_seen << seen;
    // Answer from the event loop, not from inside the timer's own slot.
    const Answer answer = m_answers.isEmpty() ? Answer([](QWidget *w) { clickButton(w, QStringLiteral("OK")); })
                                              : m_answers.takeFirst();
    QTimer::singleShot(0, window, [this, window, answer] {
        answer(window);
        if (m_last == window)
            m_last = nullptr;
    });
}
