#pragma once

#include <QWidget>

// The main menu, the program's main window: closing it ends the program.
class FRprincipalForm : public QWidget
{
    Q_OBJECT
public:
    explicit FRprincipalForm(QWidget *parent = nullptr);
};
