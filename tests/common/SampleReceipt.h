#pragma once

#include "receipts/ReceiptPrinting.h"

// A receipt with every text filled in and no logo, as the printing code takes it.
ReceiptValues sampleReceipt(const QString &kind = QStringLiteral("RECEBIMENTO"));
