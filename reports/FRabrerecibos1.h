#pragma once

#include "PeriodoForm.h"

// The period screen that lists the receipts of kind RECEBIMENTO.
class FRabrerecibos1Form : public PeriodoForm
{
    Q_OBJECT
public:
    explicit FRabrerecibos1Form(DataModule &dataModule, QWidget *parent = nullptr);
};
