#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The date written out as a receipt keeps it: two-digit day, " de ", the
// locale's full month name, " de ", four-digit year ("05 de março de 2024").
// An invalid date gives the empty text.
QString DataPorExtenso(const QDate &data, const QLocale &locale = QLocale());
