#include "DataExtenso.h"

QString DataPorExtenso(const QDate &data, const QLocale &locale)
{
    if (!data.isValid())
        return {};
    // The month name comes from the locale; QDate::toString would give English.
    return QStringLiteral("%1 de %2 de %3")
        .arg(data.day(), 2, 10, QLatin1Char('0'))
        .arg(locale.monthName(data.month(), QLocale::LongFormat))
        .arg(data.year(), 4, 10, QLatin1Char('0'));
}
