#pragma once

#include "Statement.h"

#include <memory>
#include <vector>

// The rows a dataset has read, kept compact: a fetched row is its message
// buffer packed (texts without padding, blobs as ids) into an append-only arena
// and decoded only when a value is asked for. Rows the dataset wrote itself are
// kept as values. Values are addressed by field (the dataset's order).
class RowStore
{
public:
    RowStore();
    ~RowStore();
    RowStore(const RowStore &) = delete;
    RowStore &operator=(const RowStore &) = delete;

    // Forgets every row; columnOfField maps each field to its column of the message.
    void reset(const QVector<MessageColumn> &columns, const QVector<int> &columnOfField);
    void clear();

    int size() const { return int(m_entries.size()); }
    // Packs a fetched message into the arena; it is a row only once insert()ed.
    const char *pack(const unsigned char *message);
    void insert(int position, const std::vector<const char *> &packed);
    void insert(int position, const Row &values);
    void replace(int position, const Row &values);
    void remove(int position);

    // Blobs come as BlobId.
    QVariant value(int row, int field) const;
    Row values(int row) const;
    // The value of a packed row that has not been inserted yet.
    QVariant packedValue(const char *packed, int field) const;

private:
    // A packed row's address, or for a row the dataset wrote its index into
    // m_written shifted up and marked in the lowest bit (packed rows start at
    // even addresses): a million rows cost 8 MB of entries, not 16.
    struct Entry
    {
        quintptr bits = 0;

        static Entry packedAt(const char *packed) { return {quintptr(packed)}; }
        static Entry writtenAt(size_t index) { return {(quintptr(index) << 1) | 1}; }
        bool isWritten() const { return bits & 1; }
        size_t written() const { return size_t(bits >> 1); }
        const char *packed() const { return reinterpret_cast<const char *>(bits); }
    };
    char *allocate(size_t size);
    QVariant decode(const char *packed, int column) const;

    QVector<MessageColumn> m_columns;
    QVector<int> m_columnOfField;
    int m_bitmapBytes = 0;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_chunkSize = 0;
    size_t m_used = 0;
    std::vector<Entry> m_entries;
    std::vector<Row> m_written;
};
