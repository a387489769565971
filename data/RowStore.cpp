#include "RowStore.h"

#include "FbApi.h"
#include "Numeric.h"
#include "Win1252.h"

#include <QDateTime>

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

bool isText(unsigned sqlType)
{
    return sqlType == SQL_VARYING || sqlType == SQL_TEXT;
}

// Bytes a non-null value takes in a packed row (texts: their length prefix and bytes).
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

size_t packedSize(const unsigned char *packedValue, unsigned sqlType)
{
    return isText(sqlType) ? 2 + get<quint16>(packedValue) : fixedSize(sqlType);
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
        if (get<short>(message + column.nullOffset) != 0)
            continue;
        if (column.sqlType == SQL_VARYING)
            size += 2 + get<quint16>(message + column.offset);
        else if (column.sqlType == SQL_TEXT)
            size += 2 + column.length;
        else
            size += fixedSize(column.sqlType);
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
        if (column.sqlType == SQL_VARYING) {
            const quint16 length = get<quint16>(in);
            std::memcpy(out, in, 2 + size_t(length));
            out += 2 + length;
        } else if (column.sqlType == SQL_TEXT) {
            const quint16 length = quint16(column.length);
            std::memcpy(out, &length, 2);
            std::memcpy(out + 2, in, length);
            out += 2 + length;
        } else {
            const size_t bytes = fixedSize(column.sqlType);
            std::memcpy(out, in, bytes);
            out += bytes;
        }
    }
    return packed;
}

void RowStore::append(const std::vector<const char *> &packed)
{
    // push_back grows geometrically; reserving the exact size each time would copy every row again.
    for (const char *row : packed)
        m_entries.push_back(Entry{row, -1});
}

void RowStore::insert(int position, const Row &values)
{
    m_written.push_back(values);
    m_entries.insert(m_entries.begin() + position, Entry{nullptr, int(m_written.size()) - 1});
}

void RowStore::replace(int position, const Row &values)
{
    Entry &entry = m_entries.at(size_t(position));
    if (entry.written < 0) {
        m_written.push_back(values);
        entry = Entry{nullptr, int(m_written.size()) - 1};
    } else {
        m_written.at(size_t(entry.written)) = values;
    }
}

void RowStore::remove(int position)
{
    m_entries.erase(m_entries.begin() + position);
}

QVariant RowStore::value(int row, int field) const
{
    const Entry &entry = m_entries.at(size_t(row));
    if (entry.written >= 0)
        return m_written.at(size_t(entry.written)).value(field);
    return packedValue(entry.packed, field);
}

Row RowStore::values(int row) const
{
    const Entry &entry = m_entries.at(size_t(row));
    if (entry.written >= 0)
        return m_written.at(size_t(entry.written));
    Row values(m_columnOfField.size());
    for (int f = 0; f < values.size(); ++f)
        values[f] = packedValue(entry.packed, f);
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
            at += packedSize(at, m_columns.at(c).sqlType);
    }
    const MessageColumn &info = m_columns.at(column);
    switch (info.sqlType) {
    case SQL_VARYING:
    case SQL_TEXT:
        return win1252::decode(reinterpret_cast<const char *>(at + 2), get<quint16>(at));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const qint64 units = info.sqlType == SQL_SHORT ? get<short>(at)
                           : info.sqlType == SQL_LONG  ? get<int>(at)
                                                       : get<qint64>(at);
        if (info.scale < 0)
            return QVariant::fromValue(Numeric{units, info.scale});
        if (info.sqlType == SQL_INT64)
            return units;
        return int(units);
    }
    case SQL_FLOAT:
        return double(get<float>(at));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return get<double>(at);
    case SQL_TYPE_DATE:
        return fb::decodeDate(get<ISC_DATE>(at));
    case SQL_TYPE_TIME:
        return fb::decodeTime(get<ISC_TIME>(at));
    case SQL_TIMESTAMP: {
        const ISC_TIMESTAMP stamp = get<ISC_TIMESTAMP>(at);
        return QDateTime(fb::decodeDate(stamp.timestamp_date), fb::decodeTime(stamp.timestamp_time));
    }
    case SQL_BOOLEAN:
        return get<FB_BOOLEAN>(at) != FB_FALSE;
    case SQL_BLOB:
        return QVariant::fromValue(get<BlobId>(at));
    default:
        return {};
    }
}
