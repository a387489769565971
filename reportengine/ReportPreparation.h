#pragma once

#include "PreparedReport.h"
#include "ReportPreparer.h"

#include <chrono>

class Report;

// A report prepared a page at a time for whoever shows or writes the first
// pages while the rest are still to come: the preview, an export. The pages
// are its own and go with it.
class ReportPreparation
{
public:
    enum class State { Preparing, Finished, Cancelled, Failed };

    // The report's layout and data sources must outlive the preparation.
    explicit ReportPreparation(const Report &report, PageStore::Limits limits = {});

    const PreparedReport &pages() const { return m_pages; }
    State state() const { return m_state; }
    bool preparing() const { return m_state == State::Preparing; }
    // Why a failed preparation stopped.
    QString failure() const { return m_failure; }

    // Prepares pages until page `index` exists or no more can come; whether it exists.
    // An error stops the preparation (Failed) and is thrown on.
    bool reach(int index);
    // Prepares every page still to come.
    void finish();
    // Prepares pages for about this long, at least one while preparing.
    void prepareFor(std::chrono::milliseconds budget);
    // Stops for good; the pages prepared so far stay.
    void cancel();

private:
    void preparePage();

    PreparedReport m_pages;
    ReportPreparer m_preparer;
    State m_state = State::Preparing;
    QString m_failure;
};
