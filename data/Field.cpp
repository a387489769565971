#include "Field.h"

#include "Dataset.h"
#include "DatabaseError.h"
#include "ValueText.h"

Field::Field(Dataset &dataset, int index, const QString &fieldName, ColumnType type, int size, int scale)
    : m_dataset(dataset), m_index(index), m_fieldName(fieldName), m_type(type), m_size(size), m_scale(scale)
{
}

QString Field::name() const
{
    return m_dataset.objectName() + m_fieldName;
}

bool Field::isNull() const
{
    return m_dataset.fieldIsNull(m_index);
}

QVariant Field::value() const
{
    return m_dataset.fieldValue(m_index);
}

void Field::setValue(const QVariant &value)
{
    m_dataset.setFieldValue(m_index, value);
}

void Field::clear()
{
    setValue(QVariant());
}

QString Field::asString() const
{
    return valuetext::text(value());
}

int Field::asInteger() const
{
    return isNull() ? 0 : int(asNumeric().rescaled(0).units);
}

double Field::asFloat() const
{
    if (isNull())
        return 0.0;
    if (m_type == ColumnType::Double)
        return value().toDouble();
    return asNumeric().toDouble();
}

Numeric Field::asNumeric() const
{
    if (isNull())
        return {0, m_scale};
    const QVariant v = value();
    Numeric number;
    if (!valuetext::toNumeric(v, &number))
        throw DatabaseError(QStringLiteral("\"%1\" não é um valor numérico válido para %2.").arg(v.toString(), m_fieldName));
    return number;
}

QDate Field::asDate() const
{
    return isNull() ? QDate() : value().toDate();
}

QByteArray Field::asBytes() const
{
    return isNull() ? QByteArray() : value().toByteArray();
}

QString Field::displayText() const
{
    return valuetext::displayText(value(), m_displayFormat);
}

QString Field::editText() const
{
    return displayText();
}

void Field::setText(const QString &text)
{
    if (!m_editMask.isEmpty() && !m_editMask.isBlankText(text) && !m_editMask.isComplete(text))
        throw DatabaseError(QStringLiteral("Valor incompleto para o campo %1: \"%2\".").arg(m_fieldName, text));
    const QString value = m_editMask.isEmpty() ? text : m_editMask.valueFromText(text);
    if (m_type == ColumnType::Text || m_type == ColumnType::TextBlob) {
        // An emptied text field holds NULL, as in every screen of the program.
        setValue(value.isEmpty() ? QVariant() : QVariant(value));
        return;
    }
    if (value.trimmed().isEmpty()) {
        clear();
        return;
    }
    const QVariant typed = valuetext::fromText(value, m_type, m_scale);
    if (typed.isValid()) {
        setValue(typed);
        return;
    }
    switch (m_type) {
    case ColumnType::Integer:
        throw DatabaseError(QStringLiteral("\"%1\" não é um número inteiro válido.").arg(text));
    case ColumnType::Numeric:
    case ColumnType::Double:
        throw DatabaseError(QStringLiteral("\"%1\" não é um valor numérico válido.").arg(text));
    case ColumnType::Date:
        throw DatabaseError(QStringLiteral("'%1' is not a valid date").arg(text));
    case ColumnType::Time:
        throw DatabaseError(QStringLiteral("\"%1\" não é uma hora válida.").arg(text));
    default:
        throw DatabaseError(QStringLiteral("O campo %1 não pode ser editado como texto.").arg(m_fieldName));
    }
}
