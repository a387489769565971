#pragma once

#include "PreparedReport.h"
#include "ReportPreparer.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

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
    ~ReportPreparation();
    ReportPreparation(const ReportPreparation &) = delete;
    ReportPreparation &operator=(const ReportPreparation &) = delete;

    const PreparedReport &pages() const { return m_pages; }
    State state() const;
    bool preparing() const { return state() == State::Preparing; }
    // Why a failed preparation stopped.
    QString failure() const;

    // Prepares pages until page `index` exists or no more can come; whether it exists.
    // An error stops the preparation (Failed) and is thrown on.
    bool reach(int index);
    // Prepares every page still to come.
    void finish();
    // Prepares pages for about this long, at least one while preparing.
    void prepareFor(std::chrono::milliseconds budget);
    // Stops for good; the pages prepared so far stay.
    void cancel();

    // While one lives, the pages are prepared on a thread of their own a few
    // pages ahead of the last one asked for, so that a writer of pages and the
    // preparation share the processors; when a data source cannot be walked
    // from another thread, reach() prepares them as before.
    class Ahead
    {
    public:
        explicit Ahead(ReportPreparation &preparation) : m_preparation(preparation) { m_preparation.startAhead(); }
        ~Ahead() { m_preparation.stopAhead(); }
        Ahead(const Ahead &) = delete;
        Ahead &operator=(const Ahead &) = delete;

    private:
        ReportPreparation &m_preparation;
    };

private:
    void preparePage();
    void setState(State state, const QString &failure = QString());
    void startAhead();
    void stopAhead();
    void prepareAhead();
    bool reachAhead(int index);

    PreparedReport m_pages;
    ReportPreparer m_preparer;
    bool m_walksOnAnyThread = true;

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    State m_state = State::Preparing;
    QString m_failure;
    // Ahead only: the page last asked for, and what the thread threw, thrown on by reach().
    std::thread m_ahead;
    bool m_stopAhead = false;
    int m_wanted = 0;
    std::exception_ptr m_error;
};
