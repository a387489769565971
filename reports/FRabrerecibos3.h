#pragma once

#include "PeriodoForm.h"

// The period screen that lists the every receipt, with its kind.
class FRabrerecibos3Form : public PeriodoForm
{
    Q_OBJECT
public:
    explicit FRabrerecibos3Form(DataModule &dataModule, QWidget *parent = nullptr);
};
