#include "DateEdit.h"

#include "data/ValueText.h"

#include <QCalendarWidget>
#include <QEvent>

DateEdit::DateEdit(const QString &objectName, QWidget *parent)
    : QDateEdit(parent)
{
    setObjectName(objectName);
    setDisplayFormat(valuetext::dateFormat());
    setCalendarPopup(true);
    setDate(QDate::currentDate());
    calendarWidget()->window()->installEventFilter(this);
}

bool DateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched == calendarWidget()->window()) {
        auto *popup = static_cast<QWidget *>(watched);
        const QPoint rightEdge = mapToGlobal(QPoint(width(), height()));
        popup->move(rightEdge.x() - popup->width(), rightEdge.y());
    }
    return QDateEdit::eventFilter(watched, event);
}
