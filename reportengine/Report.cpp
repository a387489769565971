#include "Report.h"

#include "LayoutFile.h"

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
