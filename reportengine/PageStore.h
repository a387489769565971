#pragma once

#include <QByteArray>
#include <QIODevice>

#include <functional>
#include <memory>
#include <vector>

// How much of a PageStore stays in memory, and where the rest goes.
struct PageStoreLimits
{
    qint64 memoryBytes = 16 << 20;
    // The device the pages past the budget go to, open for reading and writing;
    // null: an unnamed file in the system's temporary folder.
    std::function<std::unique_ptr<QIODevice>()> openSpill;
};

// Prepared pages as bytes, appended in page order: the first ones in memory
// up to a budget, the rest compressed in a temporary file, so that a report
// of any length holds about the same memory. The file goes with the store.
class PageStore
{
public:
    using Limits = PageStoreLimits;

    explicit PageStore(Limits limits = {});
    ~PageStore();
    PageStore(const PageStore &) = delete;
    PageStore &operator=(const PageStore &) = delete;

    const Limits &limits() const { return m_limits; }
    int count() const { return int(m_pages.size()); }
    // Throws ReportError when the temporary file cannot take the page.
    void append(const QByteArray &page);
    // Throws ReportError when the temporary file cannot be read back.
    QByteArray at(int index) const;
    void clear();

    qint64 bytesInMemory() const { return m_memoryBytes; }
    qint64 bytesSpilled() const { return m_spilledBytes; }

private:
    struct Entry
    {
        qint64 offset = -1; // into the file; -1 for a page in memory
        qint64 size = 0;
        int memory = -1;    // index into m_memory
    };
    QIODevice &spill();

    Limits m_limits;
    std::vector<Entry> m_pages;
    std::vector<QByteArray> m_memory;
    qint64 m_memoryBytes = 0;
    std::unique_ptr<QIODevice> m_spill;
    qint64 m_spilledBytes = 0;
};
