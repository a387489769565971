#include "SqlText.h"

namespace sqltext {

Span spanAt(const QString &sql, int i, int *last)
{
    const int n = int(sql.size());
    const QChar c = sql.at(i);
    const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
    int end = -1;
    Span span = Span::Code;
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        // A doubled quote closes and reopens the literal: spans meet end to end.
        end = int(sql.indexOf(c, i + 1));
        span = Span::Literal;
    } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
        end = int(sql.indexOf(QLatin1Char('\n'), i));
        span = Span::Comment;
    } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
        end = int(sql.indexOf(QLatin1String("*/"), i + 2));
        if (end >= 0)
            ++end;
        span = Span::Comment;
    } else {
        *last = i;
        return Span::Code;
    }
    *last = end < 0 ? n - 1 : end;
    return span;
}

} // namespace sqltext
