#pragma once

#include <QString>
#include <QStringList>

class QScrollBar;
class QWidget;

// Brazilian Portuguese, and the error display recorded for
// errordisplay::lastError() rather than shown: where every test of screens starts.
void prepareScreenTests();

// Real key presses into the control; letters beyond ASCII go as the text of an
// unnamed key (QTest::keyClicks takes ASCII only).
void typeKeys(QWidget *control, const QString &text);
// Into the control as the user arrives there with Tab, its text selected, then the keys.
void typeInto(QWidget *control, const QString &text);
// Into the focused control through the clipboard and Ctrl+V.
void pasteInto(QWidget *control, const QString &text);
// Into the focused control as an input method commits it.
void composeInto(QWidget *control, const QString &text);

// Clicks a visible control of the window by its object name; a missing or
// hidden one stops the test program.
void clickNamed(QWidget *window, const QString &name);

// Presses the scroll bar's thumb and lets go of it at the bottom of the bar, as a user does.
void dragThumbToBottom(QScrollBar *bar);

// Every visible top-level window other than `except`, by object name.
QStringList openWindows(const QWidget *except = nullptr);
