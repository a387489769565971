#include "ValueText.h"

#include <QRegularExpression>

#include <cmath>

namespace valuetext {

namespace {

// Digits grouped by the separator in threes ("1.234.567"), or not grouped at all.
bool wellGrouped(const QString &whole, const QString &separator)
{
    if (separator.isEmpty() || !whole.contains(separator))
        return true;
    const QStringList groups = whole.split(separator);
    if (groups.first().isEmpty() || groups.first().size() > 3)
        return false;
    for (int i = 1; i < groups.size(); ++i) {
        if (groups.at(i).size() != 3)
            return false;
    }
    return true;
}

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QString numberPattern(int decimals, bool grouped)
{
    QString pattern = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return pattern;
}

QString fromReportPattern(const QString &reportPattern)
{
    static const QRegularExpression shape(QStringLiteral(R"(^%(\d*)(?:\.(\d+))?([nf])$)"));
    const QRegularExpressionMatch match = shape.match(reportPattern);
    if (!match.hasMatch())
        return {};
    const int decimals = match.captured(2).isEmpty() ? 2 : match.captured(2).toInt();
    return numberPattern(decimals, match.captured(3) == QLatin1String("n"));
}

QString formatNumber(const Numeric &value, const QString &pattern, const QLocale &locale)
{
    const int point = int(pattern.indexOf(QLatin1Char('.')));
    const int decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    const QString integerPart = point < 0 ? pattern : pattern.left(point);
    const bool grouped = integerPart.contains(QLatin1Char(','));
    const int minimumDigits = int(integerPart.count(QLatin1Char('0')));

    const Numeric rounded = value.rescaled(-decimals);
    const bool negative = rounded.units < 0;
    const QString digits = QString::number(negative ? -rounded.units : rounded.units)
                               .rightJustified(decimals + qMax(1, minimumDigits), QLatin1Char('0'));
    QString whole = digits.left(digits.size() - decimals);
    const QString fraction = digits.right(decimals);
    if (grouped) {
        const QString separator = locale.groupSeparator();
        for (int i = int(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(i, separator);
    }
    QString text = whole;
    if (decimals > 0)
        text += locale.decimalPoint() + fraction;
    return negative ? locale.negativeSign() + text : text;
}

bool parseNumber(const QString &text, int scale, const QLocale &locale, Numeric *result)
{
    QString cleaned = text.trimmed();
    bool negative = false;
    if (cleaned.startsWith(locale.negativeSign()) || cleaned.startsWith(QLatin1Char('-'))) {
        negative = true;
        cleaned.remove(0, 1);
    }
    const QStringList parts = cleaned.split(locale.decimalPoint());
    if (parts.size() > 2 || cleaned.isEmpty())
        return false;
    // A group separator anywhere else (a dot typed as the decimal point under
    // pt_BR, "12.50") makes the text no number rather than another amount.
    const QString separator = locale.groupSeparator();
    if (!wellGrouped(parts.at(0), separator))
        return false;
    QString whole = parts.at(0);
    whole.remove(separator);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    const QString fraction = parts.size() == 2 ? parts.at(1) : QString();
    if (!allDigits(whole) || !allDigits(fraction))
        return false;
    const QString digits = whole + fraction;
    if (digits.size() > 18)
        return false;
    bool ok = false;
    const qint64 units = digits.toLongLong(&ok);
    if (!ok)
        return false;
    *result = Numeric{negative ? -units : units, -int(fraction.size())}.rescaled(scale);
    return true;
}

bool fromDouble(double value, int scale, Numeric *result)
{
    long double scaled = value;
    for (int i = 0; i < -scale; ++i)
        scaled *= 10;
    // Just below the largest qint64, so that the rounding cannot overflow.
    if (!std::isfinite(value) || std::fabs(scaled) >= 9.2e18L)
        return false;
    *result = Numeric{qint64(std::llroundl(scaled)), scale};
    return true;
}

bool toNumeric(const QVariant &value, Numeric *result)
{
    if (value.userType() == qMetaTypeId<Numeric>()) {
        *result = value.value<Numeric>();
        return true;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
        *result = Numeric{value.toLongLong(), 0};
        return true;
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble(), -6, result);
    default:
        return false;
    }
}

QString dateFormat()
{
    return QStringLiteral("dd/MM/yyyy");
}

QString formatDate(const QDate &date)
{
    return date.toString(dateFormat());
}

QDate parseDate(const QString &text)
{
    QString typed = text;
    typed.remove(QLatin1Char(' '));
    if (typed.section(QLatin1Char('/'), 2).size() != 4)
        return {};
    return QDate::fromString(typed, QStringLiteral("d/M/yyyy"));
}

QString formatTime(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QTime parseTime(const QString &text)
{
    const QString typed = text.trimmed();
    const QTime time = QTime::fromString(typed, QStringLiteral("HH:mm:ss"));
    return time.isValid() ? time : QTime::fromString(typed, QStringLiteral("HH:mm"));
}

QVariant fromText(const QString &text, ColumnType type, int scale, const QLocale &locale)
{
    switch (type) {
    case ColumnType::Text:
    case ColumnType::TextBlob:
        return text;
    case ColumnType::Integer:
    case ColumnType::Numeric: {
        Numeric number;
        return parseNumber(text, scale, locale, &number) ? QVariant::fromValue(number) : QVariant();
    }
    case ColumnType::Double: {
        bool ok = false;
        const double number = locale.toDouble(text.trimmed(), &ok);
        return ok ? QVariant(number) : QVariant();
    }
    case ColumnType::Date: {
        const QDate date = parseDate(text);
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case ColumnType::Time: {
        const QTime time = parseTime(text);
        return time.isValid() ? QVariant(time) : QVariant();
    }
    default:
        return {};
    }
}

QString text(const QVariant &value, const QLocale &locale)
{
    if (isNullValue(value))
        return {};
    if (value.userType() == qMetaTypeId<Numeric>()) {
        const Numeric number = value.value<Numeric>();
        return formatNumber(number, numberPattern(-number.scale, false), locale);
    }
    switch (value.typeId()) {
    case QMetaType::Double:
        return locale.toString(value.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return formatDate(value.toDate());
    case QMetaType::QTime:
        return formatTime(value.toTime());
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    default:
        return value.toString();
    }
}

QString displayText(const QVariant &value, const QString &pattern, const QLocale &locale)
{
    if (value.typeId() == QMetaType::QByteArray)
        return {};
    Numeric number;
    if (!pattern.isEmpty() && !isNullValue(value) && toNumeric(value, &number))
        return formatNumber(number, pattern, locale);
    return text(value, locale);
}

} // namespace valuetext
