#include "ScreenTesting.h"

#include "widgets/ErrorDisplay.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>

void prepareScreenTests()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    errordisplay::setPresenter([](const QString &) {});
}

void typeKeys(QWidget *control, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(control, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeInto(QWidget *control, const QString &text)
{
    control->setFocus(Qt::TabFocusReason);
    // What the entry holds is replaced: Tab alone takes a masked entry to its first blank.
    if (auto *entry = qobject_cast<QLineEdit *>(control))
        entry->selectAll();
    typeKeys(control, text);
}

void pasteInto(QWidget *control, const QString &text)
{
    control->setFocus(Qt::TabFocusReason);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
}

void composeInto(QWidget *control, const QString &text)
{
    control->setFocus(Qt::TabFocusReason);
    QInputMethodEvent composed;
    composed.setCommitString(text);
    QApplication::sendEvent(control, &composed);
}

void clickNamed(QWidget *window, const QString &name)
{
    auto *target = window->findChild<QWidget *>(name);
    if (!target)
        qFatal("No control %s in %s", qPrintable(name), qPrintable(window->objectName()));
    if (!target->isVisible())
        qFatal("Control %s is not visible", qPrintable(name));
    QTest::mouseClick(target, Qt::LeftButton);
}

QStringList openWindows(const QWidget *except)
{
    QStringList names;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != except)
            names << window->objectName();
    }
    return names;
}

void dragThumbToBottom(QScrollBar *bar)
{
    QStyleOptionSlider thumb;
    thumb.initFrom(bar);
    thumb.orientation = Qt::Vertical;
    thumb.minimum = bar->minimum();
    thumb.maximum = bar->maximum();
    thumb.sliderPosition = thumb.sliderValue = bar->value();
    thumb.pageStep = bar->pageStep();
    thumb.singleStep = bar->singleStep();
    const QPoint grab = bar->style()->subControlRect(QStyle::CC_ScrollBar, &thumb, QStyle::SC_ScrollBarSlider, bar).center();
    const QPoint bottom(grab.x(), bar->height() - 1);
    QTest::mousePress(bar, Qt::LeftButton, {}, grab);
    QTest::mouseMove(bar, bottom);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bottom);
}
