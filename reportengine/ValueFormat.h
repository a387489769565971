#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// How a field's value prints in a text object: as the program shows it
// everywhere (data/ValueText), numbers through the layout's pattern. Patterns:
// "%W.Pn" groups thousands and keeps P decimals, "%W.Pf" keeps P decimals
// without grouping. A pattern of neither shape is a ReportError.
namespace valueformat {

QString format(const QVariant &value, const QString &pattern, const QLocale &locale = QLocale());

} // namespace valueformat
