#pragma once

#include "EditMask.h"
#include "Numeric.h"
#include "Statement.h"

#include <QString>
#include <QVariant>

class Dataset;

// A column of a dataset's current row, with the mask and pattern through
// which every screen shows and edits it.
class Field
{
public:
    Field(Dataset &dataset, int index, const QString &fieldName, ColumnType type, int size = 0, int scale = 0);

    int index() const { return m_index; }
    QString fieldName() const { return m_fieldName; }
    // Dataset name followed by the column, as in RecibosVALOR.
    QString name() const;
    ColumnType dataType() const { return m_type; }
    int size() const { return m_size; }
    int scale() const { return m_scale; }

    const EditMask &editMask() const { return m_editMask; }
    void setEditMask(const QString &mask) { m_editMask = EditMask(mask); }
    // A number pattern ("#,##0.00"); other values show in their one form.
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &pattern) { m_displayFormat = pattern; }

    bool isNull() const;
    QVariant value() const;
    void setValue(const QVariant &value);
    void clear();

    // Numbers with the locale's decimal separator and no grouping, dates as dd/MM/yyyy.
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    Numeric asNumeric() const;
    QDate asDate() const;
    QByteArray asBytes() const;

    // The text a screen shows when the field is not being edited.
    QString displayText() const;
    // The text a screen puts into the entry control for editing: the display
    // text, which setText() reads back.
    QString editText() const;
    // Takes a text as typed (masked and in the locale's form); throws DatabaseError on a bad value.
    void setText(const QString &text);

private:
    Dataset &m_dataset;
    int m_index;
    QString m_fieldName;
    ColumnType m_type;
    int m_size;
    int m_scale;
    EditMask m_editMask;
    QString m_displayFormat;
};
