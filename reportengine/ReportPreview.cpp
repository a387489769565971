#include "ReportPreview.h"

#include "PreviewWindow.h"
#include "Report.h"
#include "ReportMemory.h"
#include "ReportPreparation.h"

namespace {

// Short reports open whole; longer ones open on their first pages and go on in the preview.
constexpr std::chrono::milliseconds kBeforeOpening{150};

} // namespace

void showReport(Report &report, QWidget *parent)
{
    {
        ReportPreparation preparation(report);
        preparation.reach(0);
        preparation.prepareFor(kBeforeOpening);
        PreviewWindow preview(preparation, parent);
        preview.exec();
    }
    reportmemory::releaseFreedMemory();
}
