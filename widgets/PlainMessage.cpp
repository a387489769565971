#include "PlainMessage.h"

#include <QApplication>
#include <QMessageBox>

void showPlainMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
