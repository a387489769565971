#pragma once

#include "Numeric.h"

#include <QLocale>
#include <QString>

// Number patterns such as "#,##0.00": "," asks for thousands grouping, the
// count of "0"/"#" after "." fixes the decimals. The separators come from the
// locale, never from the pattern.
namespace displayformat {

QString formatNumeric(const Numeric &value, const QString &pattern, const QLocale &locale = QLocale());
// Reads a number typed in the locale's form ("1.234,50" or "1234,5" under pt_BR)
// at the given scale; false when the text is not a number.
bool parseNumeric(const QString &text, int scale, const QLocale &locale, Numeric *result);

} // namespace displayformat
