#include "DisplayFormat.h"

namespace displayformat {

QString formatNumeric(const Numeric &value, const QString &pattern, const QLocale &locale)
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

// Digits grouped by the separator in threes ("1.234.567"), or not grouped at all.
static bool wellGrouped(const QString &whole, const QString &separator)
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

bool parseNumeric(const QString &text, int scale, const QLocale &locale, Numeric *result)
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
    for (const QString &piece : {whole, fraction}) {
        for (QChar c : piece) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
    }
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

} // namespace displayformat
