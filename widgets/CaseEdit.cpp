#include "CaseEdit.h"

#include <QKeyEvent>
#include <QValidator>

// Every change of the text passes here: typing, pasting, dropping, an input
// method's commit.
class CaseEdit::CaseValidator : public QValidator
{
public:
    explicit CaseValidator(CaseEdit &edit) : QValidator(&edit), m_edit(edit) {}

    State validate(QString &input, int &) const override
    {
        if (!m_edit.m_showing)
            input = m_edit.converted(input);
        return Acceptable;
    }

private:
    CaseEdit &m_edit;
};

CaseEdit::CaseEdit(const QString &objectName, QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
    setValidator(new CaseValidator(*this));
    // A text the validator converted comes back unmodified in QLineEdit's eyes.
    connect(this, &QLineEdit::textEdited, this, [this] { setModified(true); });
}

QString CaseEdit::converted(const QString &text) const
{
    if (m_charCase == CharCase::Normal)
        return text;
    // Letter by letter, so the length and the cursor stay where they were.
    QString result = text;
    for (QChar &c : result)
        c = m_charCase == CharCase::Upper ? c.toUpper() : c.toLower();
    return result;
}

void CaseEdit::showText(const QString &text)
{
    m_showing = true;
    setText(text);
    m_showing = false;
}

void CaseEdit::keyPressEvent(QKeyEvent *event)
{
    // Typed letters are converted before they reach the text, which keeps the
    // undo history that a conversion by the validator would clear.
    const QString typed = event->text();
    const QString replacement = converted(typed);
    if (replacement == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), replacement, event->isAutoRepeat(),
                       ushort(event->count()));
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}
