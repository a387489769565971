#include "ReceiptPreview.h"

#include "reportengine/ReportPreview.h"

void printReceipt(Report &layout, ReceiptSheet sheet, const ReceiptValues &values, QWidget *parent)
{
    fillReceipt(layout, sheet, values);
    showReport(layout, parent);
}
