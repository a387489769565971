#include "FRabrerecibos1.h"

FRabrerecibos1Form::FRabrerecibos1Form(DataModule &dataModule, QWidget *parent)
    : PeriodoForm(kRecibosRecebimento, dataModule, parent)
{
}
