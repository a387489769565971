#include "Field.h"

#include "Dataset.h"
#include "DatabaseError.h"
#include "DisplayFormat.h"

#include <QDate>
#include <QLocale>
#include <QTime>

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
    if (isNull())
        return {};
    const QVariant v = value();
    switch (m_type) {
    case ColumnType::Numeric:
        return displayformat::formatNumeric(v.value<Numeric>(), QStringLiteral("0.") + QString(-m_scale, QLatin1Char('0')));
    case ColumnType::Date:
        return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    case ColumnType::Time:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case ColumnType::Blob:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
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
    if (v.userType() == qMetaTypeId<Numeric>())
        return v.value<Numeric>();
    if (m_type == ColumnType::Double)
        return Numeric{qint64(std::llround(v.toDouble() * 1e6)), -6};
    bool ok = false;
    const qint64 whole = v.toLongLong(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("\"%1\" não é um valor numérico válido para %2.").arg(v.toString(), m_fieldName));
    return {whole, 0};
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
    if (isNull())
        return {};
    if (m_type == ColumnType::Numeric && !m_displayFormat.isEmpty())
        return displayformat::formatNumeric(asNumeric(), m_displayFormat);
    if (m_type == ColumnType::Date)
        return QLocale().toString(asDate(), m_displayFormat.isEmpty() ? QLocale().dateFormat(QLocale::ShortFormat)
                                                                      : m_displayFormat);
    return asString();
}

QString Field::editText() const
{
    if (isNull())
        return {};
    if (m_type == ColumnType::Date)
        return asDate().toString(QStringLiteral("dd/MM/yyyy"));
    return displayText();
}

void Field::setText(const QString &text)
{
    if (!m_editMask.isEmpty() && !m_editMask.isBlankText(text) && !m_editMask.isComplete(text))
        throw DatabaseError(QStringLiteral("Valor incompleto para o campo %1: \"%2\".").arg(m_fieldName, text));
    const QString value = m_editMask.isEmpty() ? text : m_editMask.valueFromText(text);
    if (value.trimmed().isEmpty() && m_type != ColumnType::Text && m_type != ColumnType::TextBlob) {
        clear();
        return;
    }
    switch (m_type) {
    case ColumnType::Text:
    case ColumnType::TextBlob:
        // An emptied text field holds NULL, as in every screen of the program.
        setValue(value.isEmpty() ? QVariant() : QVariant(value));
        return;
    case ColumnType::Integer: {
        bool ok = false;
        const qint64 number = QLocale().toLongLong(value.trimmed(), &ok);
        if (!ok)
            throw DatabaseError(QStringLiteral("\"%1\" não é um número inteiro válido.").arg(text));
        setValue(QVariant(number));
        return;
    }
    case ColumnType::Numeric: {
        Numeric number;
        if (!displayformat::parseNumeric(value, m_scale, QLocale(), &number))
            throw DatabaseError(QStringLiteral("\"%1\" não é um valor numérico válido.").arg(text));
        setValue(QVariant::fromValue(number));
        return;
    }
    case ColumnType::Double: {
        bool ok = false;
        const double number = QLocale().toDouble(value.trimmed(), &ok);
        if (!ok)
            throw DatabaseError(QStringLiteral("\"%1\" não é um valor numérico válido.").arg(text));
        setValue(number);
        return;
    }
    case ColumnType::Date: {
        QString typed = value;
        typed.remove(QLatin1Char(' '));
        const QDate date = QDate::fromString(typed, QStringLiteral("d/M/yyyy"));
        if (!date.isValid() || typed.section(QLatin1Char('/'), 2).size() != 4)
            throw DatabaseError(QStringLiteral("'%1' is not a valid date").arg(text));
        setValue(date);
        return;
    }
    case ColumnType::Time: {
        QTime time = QTime::fromString(value.trimmed(), QStringLiteral("HH:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(value.trimmed(), QStringLiteral("HH:mm"));
        if (!time.isValid())
            throw DatabaseError(QStringLiteral("\"%1\" não é uma hora válida.").arg(text));
        setValue(time);
        return;
    }
    default:
        throw DatabaseError(QStringLiteral("O campo %1 não pode ser editado como texto.").arg(m_fieldName));
    }
}
