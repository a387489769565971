#include "ErrorDisplay.h"

#include "data/DatabaseError.h"

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
    if (const auto *databaseError = dynamic_cast<const DatabaseError *>(&error))
        return databaseError->message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace errordisplay
