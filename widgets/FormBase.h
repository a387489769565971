#pragma once

#include <QDialog>

class QKeyEvent;
class TitlePanel;

// A borderless modal form with the title panel across its top. It is created
// once and shown again and again; closing only hides it. The form sees every
// key before the focused control (FormKeyDown).
class FormBase : public QDialog
{
    Q_OBJECT
public:
    // closeName names the close picture of the title panel ("Image1", "BTsair").
    FormBase(const QString &objectName, const QString &caption, const QString &closeName = QStringLiteral("Image1"),
             QWidget *parent = nullptr);
    ~FormBase() override;

    TitlePanel *titlePanel() const { return m_title; }
    // Everything below the title panel; screens lay their controls out in it.
    QWidget *body() const { return m_body; }

    // Shows the form modally, centred on the desktop; returns when it closes.
    void showModal();

    // Data-entry screens: Enter is swallowed and moves the focus to the next
    // enabled control in tab order, from the last back to the first.
    void setEnterMovesFocus(bool on) { m_enterMovesFocus = on; }
    // The entry control that has the focus is shown with a silver background
    // (a style sheet on the form: screens add to it, never replace it).
    void setFocusHighlight(bool on);
    static QColor focusColour() { return QColor(192, 192, 192); }

    // Closing in every way (close picture, reject(), accept()) runs FormClose and hides the form.
    void done(int result) override;

protected:
    // Run each time the form is shown, and on every way of closing it; an
    // error stops the handler and goes to the standard error display.
    virtual void FormShow() {}
    virtual void FormClose() {}
    // A click on the close picture; it closes the form unless a screen asks first.
    virtual void closePictureClick() { reject(); }
    // Called with every key pressed in the form before the focused control
    // sees it; return true to swallow the key. An override that keeps Enter
    // moving the focus calls FormBase::FormKeyDown for the keys it leaves alone.
    virtual bool FormKeyDown(QKeyEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TitlePanel *m_title;
    QWidget *m_body;
    bool m_enterMovesFocus = false;
};
