#pragma once

#include "LookupForm.h"

// The receipt lookup of the receipt editor: choosing a receipt closes it, and
// Recibos stays on that receipt for the editor to show.
class FRconsultarecForm : public LookupForm
{
    Q_OBJECT
public:
    explicit FRconsultarecForm(DataModule &dataModule, QWidget *parent = nullptr);
};
