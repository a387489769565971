#include "Rotulo.h"

#include <QLabel>

QLabel *rotulo(const char *name, const QString &text, int x, int y, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}
