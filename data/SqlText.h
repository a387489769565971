#pragma once

#include <QString>

namespace sqltext {

enum class Span { Code, Literal, Comment };

// What starts at position i: a quoted literal or name, a comment, or one
// character of code; *last receives the index of its last character.
Span spanAt(const QString &sql, int i, int *last);

} // namespace sqltext
