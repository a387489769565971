#pragma once

#include "DataSource.h"
#include "PreparedReport.h"
#include "ReportLayout.h"
#include "ReportPreparer.h"

#include <QHash>

// A layout with the contents a screen wrote into it, its data sources and
// the pages prepared from them. A screen loads one at start-up, finds its
// objects by name, fills them and shows the report.
class Report
{
public:
    Report() = default;
    explicit Report(ReportLayout layout) : m_layout(std::move(layout)) {}
    // Throws LayoutError naming the line of a broken file.
    static Report fromFile(const QString &path);

    ReportLayout &layout() { return m_layout; }
    const ReportLayout &layout() const { return m_layout; }
    // Case-insensitive, first in layout order; null when no object has the name.
    ReportObject *findObject(const QString &name) { return m_layout.findObject(name); }

    // The source must outlive the preparation; rows are read one at a time.
    void setDataSource(const QString &name, DataSource *source);
    const QHash<QString, DataSource *> &dataSources() const { return m_sources; }

    // Drops the pages of an earlier preparation and lays out new ones.
    void prepareReport(const ReportPreparer::Progress &progress = {});
    const PreparedReport &preparedPages() const { return m_prepared; }

private:
    ReportLayout m_layout;
    QHash<QString, DataSource *> m_sources;
    PreparedReport m_prepared;
};
