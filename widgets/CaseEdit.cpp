#include "CaseEdit.h"

#include <QKeyEvent>

CaseEdit::CaseEdit(const QString &objectName, QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
}

void CaseEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const QString converted = m_charCase == CharCase::Upper   ? typed.toUpper()
                              : m_charCase == CharCase::Lower ? typed.toLower()
                                                              : typed;
    if (converted == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), converted, event->isAutoRepeat(),
                       ushort(event->count()));
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}
