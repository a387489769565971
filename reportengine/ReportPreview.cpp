#include "ReportPreview.h"

#include "PreviewWindow.h"
#include "Report.h"

#include <QApplication>
#include <QProgressDialog>

void showReport(Report &report, QWidget *parent)
{
    {
        QProgressDialog progress(QStringLiteral("Preparando o relatório..."), QString(), 0, 0, parent);
        progress.setWindowTitle(QStringLiteral("Quindelo"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        report.prepareReport([&progress](int pages) {
            progress.setLabelText(QStringLiteral("Preparando o relatório... página %1").arg(pages));
            progress.setValue(pages);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    PreviewWindow preview(report.preparedPages(), parent);
    preview.exec();
}
