#include "FRprincipal.h"

FRprincipalForm::FRprincipalForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FRprincipal"));
    setWindowTitle(QStringLiteral("Quindelo"));
}
