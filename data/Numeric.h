#pragma once

#include <QMetaType>
#include <QString>

// An exact decimal as it travels to and from the database: units of 10^scale
// (scale is zero or negative), NUMERIC(18,2) 1234.50 is {123450, -2}.
struct Numeric
{
    qint64 units = 0;
    int scale = 0;

    // Same value at another scale; a shorter scale rounds half away from zero.
    Numeric rescaled(int newScale) const;
    double toDouble() const;

    // Exact arithmetic at the finer of the two scales; overflow throws DatabaseError.
    Numeric operator+(const Numeric &other) const;
    Numeric operator-(const Numeric &other) const;
    Numeric &operator+=(const Numeric &other);

    bool operator==(const Numeric &other) const;
    bool operator!=(const Numeric &other) const { return !(*this == other); }
    bool operator<(const Numeric &other) const;
    bool operator>(const Numeric &other) const { return other < *this; }
    bool operator<=(const Numeric &other) const { return !(other < *this); }
    bool operator>=(const Numeric &other) const { return !(*this < other); }
};

Q_DECLARE_METATYPE(Numeric)
