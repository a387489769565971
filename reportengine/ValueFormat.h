#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// How a field's value prints in a text object. Patterns: "%W.Pn" groups
// thousands and keeps P decimals, "%W.Pf" keeps P decimals without grouping;
// the separators are the locale's. Dates print in the locale's short form.
namespace valueformat {

QString format(const QVariant &value, const QString &pattern, const QLocale &locale = QLocale());

} // namespace valueformat
