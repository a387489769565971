#include "ReportPreparation.h"

#include "Report.h"

#include <QElapsedTimer>

#include <exception>

ReportPreparation::ReportPreparation(const Report &report, PageStore::Limits limits)
    : m_pages(std::move(limits)), m_preparer(report.layout(), report.dataSources())
{
    m_preparer.start(m_pages);
}

void ReportPreparation::preparePage()
{
    try {
        m_preparer.preparePage();
    } catch (const std::exception &error) {
        m_state = State::Failed;
        m_failure = QString::fromStdString(error.what());
        throw;
    }
    if (m_preparer.finished())
        m_state = State::Finished;
}

bool ReportPreparation::reach(int index)
{
    while (preparing() && m_pages.pageCount() <= index)
        preparePage();
    return index < m_pages.pageCount();
}

void ReportPreparation::finish()
{
    while (preparing())
        preparePage();
}

void ReportPreparation::prepareFor(std::chrono::milliseconds budget)
{
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
    if (!preparing())
        return;
    m_preparer.stop();
    m_state = State::Cancelled;
}
