#pragma once

#include <QString>

// A plain message box: no icon, an OK button, the application's title.
void showPlainMessage(const QString &text);
