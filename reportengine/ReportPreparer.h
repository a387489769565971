#pragma once

#include "DataSource.h"
#include "PreparedReport.h"
#include "ReportLayout.h"

#include "data/Numeric.h"

#include <QHash>
#include <QLocale>

#include <functional>

// Lays a layout out into pages, the banded way: the report title once at the
// top of the first page, the page header at the top of every page, a master
// data band per row of its data source, the summary once after the last row.
class ReportPreparer
{
public:
    using Progress = std::function<void(int pagesSoFar)>;

    // Data sources by name, compared without regard to case.
    ReportPreparer(const ReportLayout &layout, const QHash<QString, DataSource *> &sources,
                   const QLocale &locale = QLocale());

    void prepare(PreparedReport &report, const Progress &progress = {});

private:
    void startPage(bool first);
    void printBand(const Band &band);
    void placeObject(const ReportObject &object, const QRectF &box, double bandWidth);
    void placeText(const ReportObject &object, QRectF box, double bandWidth, const QString &text);
    QString evaluate(const ReportObject &object) const;
    QVariant value(const Expression &expression) const;
    DataSource &source(const QString &name) const;
    void accumulate(const Band &band);

    double advance(int fontIndex, const QString &text);
    QStringList wrap(int fontIndex, const QString &text, double width);

    const ReportLayout &m_layout;
    QHash<QString, DataSource *> m_sources; // upper-case names
    QLocale m_locale;
    PreparedReport *m_report = nullptr;
    PreparedPage *m_page = nullptr;
    QRectF m_printable;
    double m_y = 0;
    double m_pageBodyTop = 0;
    const Band *m_title = nullptr;
    const Band *m_header = nullptr;
    QHash<QString, Numeric> m_sums; // "BAND|SOURCE|FIELD", upper case
    QHash<const Band *, QVector<Expression>> m_sumsOfBand;
};
