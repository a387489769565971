#pragma once

#include "LookupForm.h"

// The client lookup of the client registry: choosing a client closes it, and
// the registry then shows that client.
class FRconsultacliForm : public LookupForm
{
    Q_OBJECT
public:
    explicit FRconsultacliForm(DataModule &dataModule, QWidget *parent = nullptr);
};

// The grid columns and texts both client lookups share.
QList<LookupForm::Column> clientLookupColumns();
