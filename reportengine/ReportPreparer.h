#pragma once

#include "DataSource.h"
#include "PreparedReport.h"
#include "ReportLayout.h"

#include "data/Numeric.h"

#include <QHash>
#include <QLocale>

#include <functional>

class FontFace;

// Lays a layout out into pages, the banded way: the report title once at the
// top of the first page, the page header at the top of every page, a master
// data band per row of its data source, the summary once after the last row.
// Pages are finished one at a time, so a caller can show or write each as it
// comes; the rows are read as they are printed.
class ReportPreparer
{
public:
    using Progress = std::function<void(int pagesSoFar)>;

    // Data sources by name, compared without regard to case.
    ReportPreparer(const ReportLayout &layout, const QHash<QString, DataSource *> &sources,
                   const QLocale &locale = QLocale());
    ~ReportPreparer();
    ReportPreparer(const ReportPreparer &) = delete;
    ReportPreparer &operator=(const ReportPreparer &) = delete;

    // The whole report at once.
    void prepare(PreparedReport &report, const Progress &progress = {});

    // Page by page: start, then preparePage until finished. An error stops
    // the preparation (finished, and the rows let go) and is thrown on.
    void start(PreparedReport &report);
    // Lays out rows until the next page is added to the report, or the report ends.
    void preparePage();
    bool finished() const { return m_phase == Phase::Done; }
    // Lets go of the rows without finishing the report.
    void stop();

private:
    enum class Phase { Rows, Summary, Done };

    void step();
    void nextMasterBand();
    void endWalk();
    void finishPage();
    void startPage(bool first);
    void printBand(const Band &band);
    void placeObject(const ReportObject &object, const QRectF &box, double bandWidth);
    void placeText(const ReportObject &object, QRectF box, double bandWidth, const QString &text);
    QString evaluate(const ReportObject &object) const;
    QVariant value(const Expression &expression) const;
    DataSource &source(const QString &name) const;
    void accumulate(const Band &band);

    QStringList wrap(const FontFace &face, const QString &text, double width);

    const ReportLayout &m_layout;
    QHash<QString, DataSource *> m_sources; // upper-case names
    mutable QHash<QString, DataSource *> m_sourceOf; // as the layout writes them
    QLocale m_locale;
    PreparedReport *m_report = nullptr;
    Phase m_phase = Phase::Done;
    PreparedPage m_current;
    PreparedPage *m_page = nullptr; // &m_current while a page is being laid out
    int m_band = -1;                 // the master data band being printed
    DataSource *m_walking = nullptr; // its rows, between beginRows and endRows
    QRectF m_printable;
    double m_y = 0;
    double m_pageBodyTop = 0;
    const Band *m_title = nullptr;
    const Band *m_header = nullptr;
    QHash<QString, Numeric> m_sums; // "BAND|SOURCE|FIELD", upper case
    struct TrackedSum
    {
        Expression expression;
        QString key;
    };
    QHash<const Band *, QVector<TrackedSum>> m_sumsOfBand;
};
