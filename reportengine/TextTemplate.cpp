#include "TextTemplate.h"

#include "ReportError.h"

#include <QRegularExpression>

TextTemplate TextTemplate::literal(const QString &text)
{
    TextTemplate result;
    result.m_source = text;
    if (!text.isEmpty())
        result.m_parts.append({text, -1});
    return result;
}

TextTemplate TextTemplate::parse(const QString &text)
{
    TextTemplate result;
    result.m_source = text;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        if (open < 0) {
            result.m_parts.append({text.mid(pos), -1});
            break;
        }
        if (open > pos)
            result.m_parts.append({text.mid(pos, open - pos), -1});
        const qsizetype close = text.indexOf(QLatin1Char(']'), open);
        if (close < 0)
            throw ReportError(QStringLiteral("falta \"]\" depois de \"%1\"").arg(text.mid(open)));
        result.m_expressions.append(parseExpression(text.mid(open + 1, close - open - 1)));
        result.m_parts.append({QString(), int(result.m_expressions.size() - 1)});
        pos = close + 1;
    }
    return result;
}

Expression TextTemplate::parseExpression(const QString &text)
{
    static const QRegularExpression field(
        QStringLiteral(R"re(^\s*([A-Za-z_]\w*)\s*\.\s*(?:"([^"]+)"|([A-Za-z_]\w*))\s*$)re"));
    static const QRegularExpression sum(
        QStringLiteral(R"re(^\s*SUM\s*\(\s*<([^>]*)>\s*,\s*([A-Za-z_]\w*)\s*\)\s*$)re"),
        QRegularExpression::CaseInsensitiveOption);

    Expression expression;
    QString reference = text;
    if (const QRegularExpressionMatch match = sum.match(text); match.hasMatch()) {
        expression.kind = Expression::Kind::Sum;
        expression.band = match.captured(2);
        reference = match.captured(1);
    }
    const QRegularExpressionMatch match = field.match(reference);
    if (!match.hasMatch())
        throw ReportError(QStringLiteral("expressão inválida: [%1]").arg(text));
    expression.dataSource = match.captured(1);
    expression.field = match.hasCaptured(2) ? match.captured(2) : match.captured(3);
    return expression;
}
