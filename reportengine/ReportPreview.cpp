#include "ReportPreview.h"

#include "PreviewWindow.h"
#include "Report.h"
#include "ReportMemory.h"
#include "ReportPreparation.h"

void showReport(Report &report, QWidget *parent)
{
    {
        ReportPreparation preparation(report);
        preparation.reach(0);
        PreviewWindow preview(preparation, parent);
        preview.exec();
    }
    reportmemory::releaseFreedMemory();
}
