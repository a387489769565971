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
    bool operator==(const Numeric &other) const;
};

Q_DECLARE_METATYPE(Numeric)
