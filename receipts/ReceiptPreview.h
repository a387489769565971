#pragma once

#include "ReceiptPrinting.h"

class QWidget;

// The print tiles: fill, prepare afresh and open the preview; returns when it closes.
void printReceipt(Report &layout, ReceiptSheet sheet, const ReceiptValues &values, QWidget *parent = nullptr);
