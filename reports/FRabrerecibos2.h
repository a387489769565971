#pragma once

#include "PeriodoForm.h"

// The period screen that lists the receipts of kind PAGAMENTO.
class FRabrerecibos2Form : public PeriodoForm
{
    Q_OBJECT
public:
    explicit FRabrerecibos2Form(DataModule &dataModule, QWidget *parent = nullptr);
};
