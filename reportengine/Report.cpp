#include "Report.h"

#include "LayoutFile.h"
#include "PreviewWindow.h"

#include <QApplication>
#include <QProgressDialog>

Report Report::fromFile(const QString &path)
{
    return Report(layoutfile::load(path));
}

void Report::setDataSource(const QString &name, DataSource *source)
{
    m_sources.insert(name, source);
}

void Report::prepareReport(const ReportPreparer::Progress &progress)
{
    m_prepared.clear();
    ReportPreparer(m_layout, m_sources).prepare(m_prepared, progress);
}

void Report::showReport(QWidget *parent)
{
    {
        QProgressDialog progress(QStringLiteral("Preparando o relatório..."), QString(), 0, 0, parent);
        progress.setWindowTitle(QStringLiteral("Quindelo"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        prepareReport([&progress](int pages) {
            progress.setLabelText(QStringLiteral("Preparando o relatório... página %1").arg(pages));
            progress.setValue(pages);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    PreviewWindow preview(m_prepared, parent);
    preview.exec();
}
