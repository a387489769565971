#pragma once

#include <QString>
#include <QVector>

// A field's edit mask in the notation the program's fields use: "0" required
// digit, "9" optional digit, "\" literal next, leading "!" drops leading blanks,
// then ";1" (keep literals in the value) and ";_" (blank shown for empty slots).
class EditMask
{
public:
    EditMask() = default;
    explicit EditMask(const QString &mask);

    bool isEmpty() const { return m_pattern.isEmpty(); }
    QString mask() const { return m_mask; }
    bool savesLiterals() const { return m_saveLiterals; }
    QChar blank() const { return m_blank; }

    // The same mask in QLineEdit::setInputMask notation.
    QString qtInputMask() const;
    // True when the text holds nothing but literals and blanks (an untouched field).
    // Texts may come with the blanks removed, as QLineEdit::text() gives them.
    bool isBlankText(const QString &text) const;
    // True when every required slot of the mask is filled.
    bool isComplete(const QString &text) const;
    // The value to store for a masked text: literals kept or dropped as the mask says.
    QString valueFromText(const QString &text) const;

private:
    struct Slot
    {
        QChar character;
        bool literal;
    };
    QString m_mask;
    QString m_pattern;
    bool m_saveLiterals = true;
    QChar m_blank = QLatin1Char('_');
    bool isLiteralCharacter(QChar c) const;

    QVector<Slot> m_slots;
    int m_requiredSlots = 0;
};
