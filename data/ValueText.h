#pragma once

#include "Numeric.h"
#include "Statement.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QVariant>

// The one place where values become text and text becomes values, for fields,
// grids and reports alike. Separators are always the locale's.
//
// Number patterns such as "#,##0.00": "," asks for thousands grouping, the
// count of "0"/"#" after "." fixes the decimals.
namespace valuetext {

QString numberPattern(int decimals, bool grouped = true);
// The report layouts' "%W.Pn" (grouped) and "%W.Pf" (not grouped) as a number
// pattern, P decimals (two when left out); empty when the text is neither.
QString fromReportPattern(const QString &reportPattern);
QString formatNumber(const Numeric &value, const QString &pattern, const QLocale &locale = QLocale());
// Reads a number in the locale's form ("1.234,50" or "1234,5" under pt_BR) at
// the given scale (whole numbers: 0), rounding extra decimals; false when the
// text is no number.
bool parseNumber(const QString &text, int scale, const QLocale &locale, Numeric *result);
// A double at the given scale, rounded half away from zero; false when it is
// not finite or too large for the units.
bool fromDouble(double value, int scale, Numeric *result);
// A Numeric, a whole number or a double (kept to six decimals) as a Numeric;
// false for any other value.
bool toNumeric(const QVariant &value, Numeric *result);

// Dates are read and shown as dd/MM/yyyy, the form the entry masks hold.
QString dateFormat();
QString formatDate(const QDate &date);
// Day and month of one or two digits, the year of four; blanks are ignored.
// An invalid date when the text is none.
QDate parseDate(const QString &text);
QString formatTime(const QTime &time);
// HH:mm:ss or HH:mm; an invalid time when the text is neither.
QTime parseTime(const QString &text);

// Typed text as a value of the column type: texts as they are, numbers at the
// scale (whole numbers: 0), dates and times as above. An invalid QVariant when
// the text is no such value or the type has no text form.
QVariant fromText(const QString &text, ColumnType type, int scale, const QLocale &locale = QLocale());

// A value as plain text: numbers at their own scale without grouping, dates and
// times in the forms above, bytes as Latin-1; NULL as an empty text.
QString text(const QVariant &value, const QLocale &locale = QLocale());
// A value as a screen or a report shows it: as text(), but numbers through the
// pattern when one is given, and bytes (pictures) as nothing.
QString displayText(const QVariant &value, const QString &pattern = QString(), const QLocale &locale = QLocale());

} // namespace valuetext
