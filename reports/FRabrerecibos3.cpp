#include "FRabrerecibos3.h"

FRabrerecibos3Form::FRabrerecibos3Form(DataModule &dataModule, QWidget *parent)
    : PeriodoForm(kTodosRecibos, dataModule, parent)
{
}
