#include "EditMask.h"

#include <QVector>

namespace {

// Mask characters of the field notation and their QLineEdit equivalent.
QChar qtEquivalent(QChar c)
{
    switch (c.unicode()) {
    case '0': return QLatin1Char('9');
    case '9': return QLatin1Char('0');
    case '#': return QLatin1Char('#');
    case 'L': return QLatin1Char('A');
    case 'l': return QLatin1Char('a');
    case 'A': return QLatin1Char('N');
    case 'a': return QLatin1Char('n');
    case 'C': return QLatin1Char('X');
    case 'c': return QLatin1Char('x');
    default: return QChar();
    }
}

bool isQtSpecial(QChar c)
{
    return QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\").contains(c);
}

} // namespace

EditMask::EditMask(const QString &mask)
    : m_mask(mask)
{
    // The last two ";"-separated sections are the literal flag and the blank; a
    // ";" inside the pattern would be escaped.
    QString pattern = mask;
    const QStringList sections = mask.split(QLatin1Char(';'));
    if (sections.size() >= 3 && sections.at(sections.size() - 1).size() == 1) {
        m_blank = sections.last().at(0);
        m_saveLiterals = sections.at(sections.size() - 2) != QLatin1String("0");
        pattern = sections.mid(0, sections.size() - 2).join(QLatin1Char(';'));
    } else if (sections.size() == 2) {
        m_saveLiterals = sections.at(1) != QLatin1String("0");
        pattern = sections.at(0);
    }
    if (pattern.startsWith(QLatin1Char('!')))
        pattern.remove(0, 1);
    m_pattern = pattern;

    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            m_slots.append({pattern.at(++i), true});
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            continue;
        } else if (!qtEquivalent(c).isNull()) {
            m_slots.append({c, false});
            if (QStringLiteral("0LAC").contains(c))
                ++m_requiredSlots;
        } else {
            m_slots.append({c, true});
        }
    }
}

QString EditMask::qtInputMask() const
{
    if (m_pattern.isEmpty())
        return {};
    QString result;
    for (int i = 0; i < m_pattern.size(); ++i) {
        const QChar c = m_pattern.at(i);
        if (c == QLatin1Char('\\') && i + 1 < m_pattern.size()) {
            const QChar literal = m_pattern.at(++i);
            if (isQtSpecial(literal))
                result += QLatin1Char('\\');
            result += literal;
        } else if (c == QLatin1Char('<') && i + 1 < m_pattern.size() && m_pattern.at(i + 1) == QLatin1Char('>')) {
            result += QLatin1Char('!');
            ++i;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            result += c;
        } else if (!qtEquivalent(c).isNull()) {
            result += qtEquivalent(c);
        } else {
            if (isQtSpecial(c))
                result += QLatin1Char('\\');
            result += c;
        }
    }
    return result + QLatin1Char(';') + m_blank;
}

bool EditMask::isLiteralCharacter(QChar c) const
{
    for (const Slot &slot : m_slots) {
        if (slot.literal && slot.character == c)
            return true;
    }
    return false;
}

bool EditMask::isBlankText(const QString &text) const
{
    for (QChar c : text) {
        if (!isLiteralCharacter(c) && c != m_blank && !c.isSpace())
            return false;
    }
    return true;
}

bool EditMask::isComplete(const QString &text) const
{
    if (text.size() == m_slots.size()) {
        for (int i = 0; i < text.size(); ++i) {
            const Slot &slot = m_slots.at(i);
            const QChar c = text.at(i);
            if (!slot.literal && QStringLiteral("0LAC").contains(slot.character) && (c == m_blank || c.isSpace()))
                return false;
        }
        return true;
    }
    // QLineEdit drops the blanks from its text: only the count can be checked.
    int filled = 0;
    for (QChar c : text) {
        if (!isLiteralCharacter(c) && c != m_blank && !c.isSpace())
            ++filled;
    }
    return filled >= m_requiredSlots;
}

QString EditMask::valueFromText(const QString &text) const
{
    if (isBlankText(text))
        return {};
    if (m_saveLiterals)
        return text;
    // The slots only take letters and digits, so any literal character met is a literal.
    QString value;
    for (QChar c : text) {
        if (!isLiteralCharacter(c))
            value += c;
    }
    return value;
}
