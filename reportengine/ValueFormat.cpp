#include "ValueFormat.h"

#include "ReportError.h"

#include "data/DisplayFormat.h"
#include "data/Numeric.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace valueformat {

namespace {

struct NumberPattern
{
    bool valid = false;
    bool grouped = false;
    int decimals = 0;
};

NumberPattern numberPattern(const QString &pattern)
{
    static const QRegularExpression shape(QStringLiteral(R"(^%(\d*)(?:\.(\d+))?([nf])$)"));
    const QRegularExpressionMatch match = shape.match(pattern);
    if (!match.hasMatch())
        throw ReportError(QStringLiteral("formato de exibição inválido: %1").arg(pattern));
    return {true, match.captured(3) == QLatin1String("n"),
            match.captured(2).isEmpty() ? 2 : match.captured(2).toInt()};
}

QString formatNumber(const Numeric &value, const NumberPattern &number, const QLocale &locale)
{
    QString pattern = number.grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (number.decimals > 0)
        pattern += QLatin1Char('.') + QString(number.decimals, QLatin1Char('0'));
    return displayformat::formatNumeric(value, pattern, locale);
}

Numeric fromDouble(double value, int decimals)
{
    double factor = 1;
    for (int i = 0; i < decimals; ++i)
        factor *= 10;
    return {qint64(std::llround(value * factor)), -decimals};
}

} // namespace

QString format(const QVariant &value, const QString &pattern, const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const int type = value.userType();
    const bool isNumber = type == qMetaTypeId<Numeric>() || type == QMetaType::Int || type == QMetaType::LongLong
        || type == QMetaType::Double;
    if (isNumber && !pattern.isEmpty()) {
        const NumberPattern number = numberPattern(pattern);
        if (type == qMetaTypeId<Numeric>())
            return formatNumber(value.value<Numeric>(), number, locale);
        if (type == QMetaType::Double)
            return formatNumber(fromDouble(value.toDouble(), number.decimals), number, locale);
        return formatNumber(Numeric{value.toLongLong(), 0}, number, locale);
    }
    if (type == qMetaTypeId<Numeric>()) {
        const Numeric numeric = value.value<Numeric>();
        return formatNumber(numeric, {true, false, -numeric.scale}, locale);
    }
    if (type == QMetaType::Double)
        return locale.toString(value.toDouble(), 'g', 15);
    if (type == QMetaType::QDate)
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    if (type == QMetaType::QTime)
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    return value.toString();
}

} // namespace valueformat
