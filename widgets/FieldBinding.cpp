#include "FieldBinding.h"

#include "data/Dataset.h"

#include <QFocusEvent>
#include <QWidget>

FieldBinding::FieldBinding(QWidget *control)
{
    control->installEventFilter(this);
}

void FieldBinding::bind(Dataset *dataset, const QString &fieldName)
{
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    m_fieldName = fieldName;
    if (!dataset)
        return;
    connect(dataset, &Dataset::reset, this, &FieldBinding::changed);
    connect(dataset, &Dataset::stateChanged, this, &FieldBinding::changed);
    connect(dataset, &Dataset::currentChanged, this, &FieldBinding::changed);
    connect(dataset, &Dataset::fieldChanged, this, &FieldBinding::fieldChanged);
}

Field *FieldBinding::field() const
{
    return m_dataset ? m_dataset->findField(m_fieldName) : nullptr;
}

Field *FieldBinding::activeField() const
{
    return m_dataset && m_dataset->active() ? field() : nullptr;
}

bool FieldBinding::editing() const
{
    return m_dataset && (m_dataset->state() == Dataset::State::Insert || m_dataset->state() == Dataset::State::Edit);
}

bool FieldBinding::focusLeft(const QFocusEvent &event)
{
    if (!m_entered || event.reason() == Qt::PopupFocusReason || event.reason() == Qt::ActiveWindowFocusReason)
        return false;
    m_entered = false;
    return true;
}

bool FieldBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        m_entered = true;
    return QObject::eventFilter(watched, event);
}

void FieldBinding::fieldChanged(int fieldIndex)
{
    const Field *bound = field();
    if (bound && bound->index() == fieldIndex)
        emit changed();
}
