#pragma once

#include "LookupForm.h"

// The client lookup of the receipt editor: choosing a client writes its name
// and document number into the current receipt row (nothing is posted).
class FRconsultacli2Form : public LookupForm
{
    Q_OBJECT
public:
    explicit FRconsultacli2Form(DataModule &dataModule, QWidget *parent = nullptr);

    void DBGrid1DblClick() override;
};
