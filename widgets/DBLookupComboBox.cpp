#include "DBLookupComboBox.h"

#include "ErrorDisplay.h"
#include "data/Dataset.h"

#include <QFocusEvent>

DBLookupComboBox::DBLookupComboBox(const QString &objectName, QWidget *parent)
    : QComboBox(parent), m_binding(this)
{
    setObjectName(objectName);
    setMaxVisibleItems(kDropDownRows);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::choose);
    connect(&m_binding, &FieldBinding::changed, this, &DBLookupComboBox::showFieldValue);
}

void DBLookupComboBox::setDataField(Dataset *dataset, const QString &fieldName)
{
    m_binding.bind(dataset, fieldName);
    showFieldValue();
}

void DBLookupComboBox::setListSource(Dataset *list, const QString &keyField, const QString &listField)
{
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    m_keyField = keyField;
    m_listField = listField;
    if (list) {
        connect(list, &Dataset::reset, this, &DBLookupComboBox::reloadList);
        connect(list, &Dataset::rowsFetched, this, &DBLookupComboBox::reloadList);
    }
    reloadList();
}

void DBLookupComboBox::reloadList()
{
    // Reading the rest of the list below signals again.
    if (m_loading)
        return;
    m_loading = true;
    clear();
    const Field *key = m_list ? m_list->findField(m_keyField) : nullptr;
    const Field *shown = m_list ? m_list->findField(m_listField) : nullptr;
    if (key && shown && m_list->active()) {
        // Lists are short: read them whole (without moving their current row).
        guarded([this] {
            while (!m_list->allFetched())
                m_list->fetchMore(100);
        });
        for (int row = 0; row < m_list->rowCount(); ++row)
            addItem(m_list->valueAt(row, shown->index()).toString(), m_list->valueAt(row, key->index()));
    }
    m_loading = false;
    showFieldValue();
}

void DBLookupComboBox::showFieldValue()
{
    if (m_loading)
        return;
    const Field *bound = m_binding.activeField();
    const QVariant value = bound ? bound->value() : QVariant();
    m_loading = true;
    setCurrentIndex(value.isNull() || !value.isValid() ? -1 : findData(value));
    m_loading = false;
}

void DBLookupComboBox::choose(int index)
{
    Field *bound = field();
    if (m_loading || !bound || index < 0)
        return;
    const QVariant key = itemData(index);
    guarded([&] { bound->setValue(key); });
    showFieldValue();
}

void DBLookupComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (m_binding.focusLeft(*event))
        emit exited();
}
