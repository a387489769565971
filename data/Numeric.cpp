#include "Numeric.h"

#include "DatabaseError.h"

#include <limits>

static qint64 powerOfTen(int exponent)
{
    qint64 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

Numeric Numeric::rescaled(int newScale) const
{
    if (newScale == scale)
        return *this;
    if (newScale < scale) {
        const qint64 factor = powerOfTen(scale - newScale);
        if (units > std::numeric_limits<qint64>::max() / factor || units < std::numeric_limits<qint64>::min() / factor)
            throw DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido."));
        return {units * factor, newScale};
    }
    const qint64 factor = powerOfTen(newScale - scale);
    const qint64 quotient = units / factor;
    const qint64 remainder = units % factor;
    qint64 rounded = quotient;
    if (2 * (remainder < 0 ? -remainder : remainder) >= factor)
        rounded += units < 0 ? -1 : 1;
    return {rounded, newScale};
}

double Numeric::toDouble() const
{
    return double(units) / double(powerOfTen(-scale));
}

bool Numeric::operator==(const Numeric &other) const
{
    const int common = qMin(scale, other.scale);
    return rescaled(common).units == other.rescaled(common).units;
}
