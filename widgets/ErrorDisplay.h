#pragma once

#include <QString>

#include <exception>
#include <functional>

// The application's standard error display: a message box titled "Quindelo"
// with the error's text. Tests replace the box with a recorder.
namespace errordisplay {

using Presenter = std::function<void(const QString &text)>;

void show(const QString &text);
void setPresenter(Presenter presenter);
// The last text shown, for headless checks.
QString lastError();
void clearLastError();

QString textOf(const std::exception &error);

} // namespace errordisplay

// Runs an event handler; an error stops the rest of it and goes to the
// standard error display, and the program carries on.
template <typename Handler>
bool guarded(Handler &&handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &error) {
        errordisplay::show(errordisplay::textOf(error));
        return false;
    }
}
