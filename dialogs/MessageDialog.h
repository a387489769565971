#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// A fixed-text message: a face and one or two lines with "OK", or a question
// with "Sim" and "Não". Answered with the mouse only.
class MessageDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Acknowledgement, Question };
    using Action = std::function<void(MessageDialog &)>;

    MessageDialog(const QString &objectName, Kind kind, const QStringList &lines, QWidget *parent = nullptr);

    // The first button's action ("OK" or "Sim"); without one it closes the dialog.
    void setAction(Action action) { m_action = std::move(action); }

    // Shows the dialog modally, centred on the desktop; returns when it closes.
    void showModal();
    // A question shown modally whose "Sim" runs onYes, with the question still
    // open beneath whatever onYes shows; "Não" closes it.
    void ask(Action onYes);
    // The same, on top of the dialog that showed it, which its action may close too.
    void showModalOver(MessageDialog *beneath);
    MessageDialog *beneath() const { return m_beneath; }

    QStringList lines() const;
    // For the one message whose line names what it asks about (a file).
    void setLine(int index, const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void firstButtonClick();

    Action m_action;
    MessageDialog *m_beneath = nullptr;
    QList<QLabel *> m_lines;
};
