#include "FRabrerecibos2.h"

FRabrerecibos2Form::FRabrerecibos2Form(DataModule &dataModule, QWidget *parent)
    : PeriodoForm(kRecibosPagamento, dataModule, parent)
{
}
