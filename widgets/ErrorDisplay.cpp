#include "ErrorDisplay.h"

#include "data/ErrorText.h"

#include <QApplication>
#include <QMessageBox>

namespace errordisplay {

namespace {

QString &lastText()
{
    static QString text;
    return text;
}

Presenter &presenter()
{
    static Presenter instance;
    return instance;
}

void showMessageBox(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quindelo"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

void show(const QString &text)
{
    lastText() = text;
    if (presenter())
        presenter()(text);
    else
        showMessageBox(text);
}

void setPresenter(Presenter replacement)
{
    presenter() = std::move(replacement);
}

QString lastError()
{
    return lastText();
}

void clearLastError()
{
    lastText().clear();
}

QString textOf(const std::exception &error)
{
    return errortext::forUser(error);
}

} // namespace errordisplay
