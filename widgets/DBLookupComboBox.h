#pragma once

#include "FieldBinding.h"

#include <QComboBox>
#include <QPointer>

class Dataset;
class Field;

// A combo bound to a field whose list comes from another dataset: the list
// shows listField and the bound field stores keyField of the chosen row.
class DBLookupComboBox : public QComboBox
{
    Q_OBJECT
public:
    static constexpr int kDropDownRows = 8;

    explicit DBLookupComboBox(const QString &objectName, QWidget *parent = nullptr);

    void setDataField(Dataset *dataset, const QString &fieldName);
    void setListSource(Dataset *list, const QString &keyField, const QString &listField);
    Field *field() const { return m_binding.field(); }

signals:
    // The focus left the combo: the screens' ...Exit handlers.
    void exited();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void reloadList();
    void showFieldValue();
    void choose(int index);

    FieldBinding m_binding;
    QPointer<Dataset> m_list;
    QString m_keyField;
    QString m_listField;
    bool m_loading = false;
};
