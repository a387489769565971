#include "ReportPreparation.h"

#include "Report.h"

#include <QElapsedTimer>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Enough to keep the writer fed, few enough that the pages are still warm when it reads them.
constexpr int kPagesAhead = 4;

} // namespace

ReportPreparation::ReportPreparation(const Report &report, PageStore::Limits limits)
    : m_pages(std::move(limits)), m_preparer(report.layout(), report.dataSources())
{
    const QHash<QString, DataSource *> &sources = report.dataSources();
    m_walksOnAnyThread = std::all_of(sources.cbegin(), sources.cend(),
                                     [](const DataSource *source) { return source->walksOnAnyThread(); });
    m_preparer.start(m_pages);
}

ReportPreparation::~ReportPreparation()
{
    stopAhead();
}

ReportPreparation::State ReportPreparation::state() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_state;
}

QString ReportPreparation::failure() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_failure;
}

void ReportPreparation::setState(State state, const QString &failure)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_state = state;
    m_failure = failure;
}

void ReportPreparation::preparePage()
{
    try {
        m_preparer.preparePage();
    } catch (const std::exception &error) {
        setState(State::Failed, QString::fromStdString(error.what()));
        throw;
    }
    if (m_preparer.finished())
        setState(State::Finished);
}

bool ReportPreparation::reach(int index)
{
    if (m_ahead.joinable())
        return reachAhead(index);
    while (preparing() && m_pages.pageCount() <= index)
        preparePage();
    return index < m_pages.pageCount();
}

void ReportPreparation::finish()
{
    reach(std::numeric_limits<int>::max());
}

void ReportPreparation::prepareFor(std::chrono::milliseconds budget)
{
    if (m_ahead.joinable())
        return;
    QElapsedTimer timer;
    timer.start();
    do {
        if (!preparing())
            return;
        preparePage();
    } while (timer.elapsed() < budget.count());
}

void ReportPreparation::cancel()
{
    stopAhead();
    if (!preparing())
        return;
    m_preparer.stop();
    setState(State::Cancelled);
}

void ReportPreparation::startAhead()
{
    if (!m_walksOnAnyThread || m_ahead.joinable() || !preparing())
        return;
    m_stopAhead = false;
    m_wanted = m_pages.pageCount();
    m_error = nullptr;
    m_ahead = std::thread(&ReportPreparation::prepareAhead, this);
}

void ReportPreparation::stopAhead()
{
    if (!m_ahead.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stopAhead = true;
    }
    m_changed.notify_all();
    m_ahead.join();
    // An error nobody asked for pages after: the state says Failed and why.
    m_error = nullptr;
}

void ReportPreparation::prepareAhead()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stopAhead && m_state == State::Preparing) {
        if (m_pages.pageCount() - kPagesAhead > m_wanted) {
            m_changed.wait(lock);
            continue;
        }
        lock.unlock();
        try {
            preparePage();
        } catch (...) {
            lock.lock();
            m_error = std::current_exception();
            break;
        }
        lock.lock();
        m_changed.notify_all();
    }
    m_changed.notify_all();
}

bool ReportPreparation::reachAhead(int index)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_wanted = std::max(m_wanted, index);
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_pages.pageCount() > index || m_state != State::Preparing; });
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
    return m_pages.pageCount() > index;
}
