#include "ValueFormat.h"

#include "ReportError.h"

#include "data/ValueText.h"

namespace valueformat {

QString format(const QVariant &value, const QString &pattern, const QLocale &locale)
{
    if (pattern.isEmpty())
        return valuetext::displayText(value, QString(), locale);
    const QString numberPattern = valuetext::fromReportPattern(pattern);
    if (numberPattern.isEmpty())
        throw ReportError(QStringLiteral("formato de exibição inválido: %1").arg(pattern));
    return valuetext::displayText(value, numberPattern, locale);
}

} // namespace valueformat
