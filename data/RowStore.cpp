#include "RowStore.h"

#include <firebird/Interface.h>

#include <cstring>

using namespace Firebird;

namespace {

constexpr size_t kChunk = 1024 * 1024;

template <typename T>
T get(const void *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

size_t fixedSize(unsigned sqlType)
{
    switch (sqlType) {
    case SQL_SHORT:
        return 2;
    case SQL_LONG:
    case SQL_FLOAT:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return 4;
    case SQL_INT64:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
    case SQL_TIMESTAMP:
    case SQL_BLOB:
    case SQL_QUAD:
        return 8;
    case SQL_BOOLEAN:
        return 1;
    default:
        return 0;
    }
}

// A packed value is laid out as in the message: texts of a VARCHAR with their
// length prefix, of a CHAR at their full length.
size_t packedSize(const MessageColumn &column, const unsigned char *at)
{
    if (column.sqlType == SQL_VARYING)
        return 2 + get<quint16>(at);
    if (column.sqlType == SQL_TEXT)
        return column.length;
    return fixedSize(column.sqlType);
}

} // namespace

RowStore::RowStore() = default;
RowStore::~RowStore() = default;

void RowStore::reset(const QVector<MessageColumn> &columns, const QVector<int> &columnOfField)
{
    clear();
    m_columns = columns;
    m_columnOfField = columnOfField;
    m_bitmapBytes = int((columns.size() + 7) / 8);
}

void RowStore::clear()
{
    m_entries = {};
    m_written = {};
    m_chunks.clear();
    m_chunkSize = m_used = 0;
}

char *RowStore::allocate(size_t size)
{
    // Even sizes keep every row at an even address, which Entry relies on.
    size += size & 1;
    if (m_chunks.empty() || m_used + size > m_chunkSize) {
        m_chunkSize = qMax(kChunk, size);
        m_chunks.push_back(std::make_unique<char[]>(m_chunkSize));
        m_used = 0;
    }
    char *at = m_chunks.back().get() + m_used;
    m_used += size;
    return at;
}

const char *RowStore::pack(const unsigned char *message)
{
    size_t size = size_t(m_bitmapBytes);
    for (const MessageColumn &column : m_columns) {
        if (get<short>(message + column.nullOffset) == 0)
            size += packedSize(column, message + column.offset);
    }
    char *packed = allocate(size);
    std::memset(packed, 0, size_t(m_bitmapBytes));
    char *out = packed + m_bitmapBytes;
    for (int c = 0; c < m_columns.size(); ++c) {
        const MessageColumn &column = m_columns.at(c);
        if (get<short>(message + column.nullOffset) != 0) {
            packed[c / 8] = char(packed[c / 8] | (1 << (c % 8)));
            continue;
        }
        const unsigned char *in = message + column.offset;
        const size_t bytes = packedSize(column, in);
        std::memcpy(out, in, bytes);
        out += bytes;
    }
    return packed;
}

void RowStore::insert(int position, const std::vector<const char *> &packed)
{
    // Inserting grows geometrically; reserving the exact size each time would copy every row again.
    std::vector<Entry> entries;
    entries.reserve(packed.size());
    for (const char *row : packed)
        entries.push_back(Entry::packedAt(row));
    m_entries.insert(m_entries.begin() + position, entries.begin(), entries.end());
}

void RowStore::insert(int position, const Row &values)
{
    m_written.push_back(values);
    m_entries.insert(m_entries.begin() + position, Entry::writtenAt(m_written.size() - 1));
}

void RowStore::replace(int position, const Row &values)
{
    Entry &entry = m_entries.at(size_t(position));
    if (!entry.isWritten()) {
        m_written.push_back(values);
        entry = Entry::writtenAt(m_written.size() - 1);
    } else {
        m_written.at(entry.written()) = values;
    }
}

void RowStore::remove(int position)
{
    m_entries.erase(m_entries.begin() + position);
}

QVariant RowStore::value(int row, int field) const
{
    const Entry &entry = m_entries.at(size_t(row));
    if (entry.isWritten())
        return m_written.at(entry.written()).value(field);
    return packedValue(entry.packed(), field);
}

Row RowStore::values(int row) const
{
    const Entry &entry = m_entries.at(size_t(row));
    if (entry.isWritten())
        return m_written.at(entry.written());
    Row values(m_columnOfField.size());
    for (int f = 0; f < values.size(); ++f)
        values[f] = packedValue(entry.packed(), f);
    return values;
}

QVariant RowStore::packedValue(const char *packed, int field) const
{
    return decode(packed, m_columnOfField.at(field));
}

QVariant RowStore::decode(const char *packed, int column) const
{
    const auto isNullAt = [packed](int c) { return (packed[c / 8] >> (c % 8)) & 1; };
    if (isNullAt(column))
        return {};
    const auto *at = reinterpret_cast<const unsigned char *>(packed + m_bitmapBytes);
    for (int c = 0; c < column; ++c) {
        if (!isNullAt(c))
            at += packedSize(m_columns.at(c), at);
    }
    return messageValue(m_columns.at(column), at);
}
