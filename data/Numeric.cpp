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

static DatabaseError outOfRange()
{
    return DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido."));
}

Numeric Numeric::rescaled(int newScale) const
{
    if (newScale == scale)
        return *this;
    if (newScale < scale) {
        if (scale - newScale > 18)
            throw outOfRange();
        const qint64 factor = powerOfTen(scale - newScale);
        if (units > std::numeric_limits<qint64>::max() / factor || units < std::numeric_limits<qint64>::min() / factor)
            throw outOfRange();
        return {units * factor, newScale};
    }
    if (newScale - scale > 18)
        return {0, newScale};
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

Numeric Numeric::operator+(const Numeric &other) const
{
    const int common = qMin(scale, other.scale);
    qint64 sum = 0;
    if (__builtin_add_overflow(rescaled(common).units, other.rescaled(common).units, &sum))
        throw outOfRange();
    return {sum, common};
}

Numeric Numeric::operator-(const Numeric &other) const
{
    const int common = qMin(scale, other.scale);
    qint64 difference = 0;
    if (__builtin_sub_overflow(rescaled(common).units, other.rescaled(common).units, &difference))
        throw outOfRange();
    return {difference, common};
}

Numeric &Numeric::operator+=(const Numeric &other)
{
    return *this = *this + other;
}

bool Numeric::operator==(const Numeric &other) const
{
    return !(*this < other) && !(other < *this);
}

bool Numeric::operator<(const Numeric &other) const
{
    // Compared in 128 bits, so no value is too large for the finer scale.
    const int common = qMin(scale, other.scale);
    auto widened = [common](const Numeric &n) {
        __int128 value = n.units;
        for (int i = common; i < n.scale; ++i)
            value *= 10;
        return value;
    };
    return widened(*this) < widened(other);
}
