#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Dataset;
class Field;
class QFocusEvent;
class QWidget;

// What every bound control (DBEdit, DBLookupComboBox, DBImage) shares: the link
// to one field of a dataset. It follows the dataset (opened, closed, moved, its
// state, the field's value) and says changed() for the control to show the
// field again; the control reads and writes the field through it.
class FieldBinding : public QObject
{
    Q_OBJECT
public:
    explicit FieldBinding(QWidget *control);

    void bind(Dataset *dataset, const QString &fieldName);
    Dataset *dataset() const { return m_dataset; }
    QString fieldName() const { return m_fieldName; }
    // Null while unbound or when the dataset has no such field.
    Field *field() const;
    // The field while its dataset is open, the only time it has a value to show.
    Field *activeField() const;
    // The dataset is inserting or editing a row, so the field takes values.
    bool editing() const;

    // For the control's focus-out: true once per focus-in of its own, when the
    // focus moves to another control. Another window coming up (a message, a
    // popup) is not leaving it, nor is the focus-out that follows a refusal
    // putting the focus back before the next control has received it.
    bool focusLeft(const QFocusEvent &event);

signals:
    void changed();

protected:
    // Notes the control's focus-in.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fieldChanged(int fieldIndex);

    QPointer<Dataset> m_dataset;
    QString m_fieldName;
    bool m_entered = false;
};
