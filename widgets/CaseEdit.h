#pragma once

#include <QLineEdit>

// An entry control that turns each letter into upper or lower case as it is typed.
class CaseEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class CharCase { Normal, Upper, Lower };

    explicit CaseEdit(const QString &objectName, QWidget *parent = nullptr);

    CharCase charCase() const { return m_charCase; }
    void setCharCase(CharCase charCase) { m_charCase = charCase; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    CharCase m_charCase = CharCase::Normal;
};
