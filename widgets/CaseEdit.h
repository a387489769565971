#pragma once

#include <QLineEdit>

// An entry control that keeps its letters in upper or lower case, whether
// they are typed, pasted or composed through an input method.
class CaseEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class CharCase { Normal, Upper, Lower };

    explicit CaseEdit(const QString &objectName, QWidget *parent = nullptr);

    CharCase charCase() const { return m_charCase; }
    void setCharCase(CharCase charCase) { m_charCase = charCase; }

    // Shows a text as it is, a stored value for instance; the case rule
    // applies to what the user adds to it.
    void showText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    class CaseValidator;
    QString converted(const QString &text) const;

    CharCase m_charCase = CharCase::Normal;
    bool m_showing = false;
};
