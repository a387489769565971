#pragma once

#include <QString>

class QLabel;
class QWidget;

// A label at a fixed place on a screen, sized to its text.
QLabel *rotulo(const char *name, const QString &text, int x, int y, QWidget *parent);
