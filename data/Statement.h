#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "FbRef.h"

#include <memory>

namespace Firebird { class IStatement; class IResultSet; class IMessageMetadata; }
namespace fb { class Status; }
class Database;
class Transaction;

using Row = QVector<QVariant>;

// A blob as a dataset's row holds it: the id only, its bytes read when asked for.
// Written back as it is, an unchanged blob costs nothing.
struct BlobId
{
    quint32 high = 0;
    quint32 low = 0;
    bool operator==(const BlobId &other) const { return high == other.high && low == other.low; }
};
Q_DECLARE_METATYPE(BlobId)

// The bytes of a blob, read within the transaction that saw its id.
QByteArray readBlob(Database &database, Transaction &transaction, const BlobId &id);
// A value that travels as SQL NULL: no value, or an empty QString, QDate, QTime,
// QDateTime or QByteArray, which Qt 6 no longer calls null.
bool isNullValue(const QVariant &value);

enum class ColumnType { Integer, Numeric, Double, Text, Date, Time, Timestamp, Blob, TextBlob, Boolean };

struct ColumnInfo
{
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;  // characters for text, bytes otherwise
    int scale = 0; // negative for NUMERIC/DECIMAL
};

// Where a column's value lies in the client library's message buffer.
struct MessageColumn
{
    unsigned sqlType = 0; // SQL_* without the nullable bit
    unsigned offset = 0;
    unsigned nullOffset = 0;
    unsigned length = 0; // bytes of a CHAR or VARCHAR
    int scale = 0;
    ColumnType type = ColumnType::Text;
};

// A non-null value as the client library lays it out in a message buffer
// (and as RowStore packs it). Blobs come as BlobId.
QVariant messageValue(const MessageColumn &column, const unsigned char *at);

// ":NAME" parameters of an SQL text turned into the positional "?" that
// Firebird takes; literals, quoted names and comments are left alone.
struct ParsedSql
{
    QString text;
    QStringList parameterNames;
    static ParsedSql parse(const QString &sql);
};

class Cursor;

// A statement prepared on one attachment. Values travel as QVariant: a null
// QVariant is NULL, text is QString, NUMERIC is Numeric, DATE QDate, TIME QTime,
// binary blobs QByteArray.
class PreparedStatement
{
public:
    PreparedStatement(Database &database, const QString &sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    const QStringList &parameterNames() const { return m_parsed.parameterNames; }
    const QVector<ColumnInfo> &columns() const { return m_columns; }
    const QVector<MessageColumn> &messageColumns() const { return m_layout; }

    // Runs a statement that returns no rows (or one, for EXECUTE PROCEDURE / RETURNING).
    Row execute(Transaction &transaction, const QVariantList &parameters = {});
    // Runs by parameter name; a name that appears twice takes the same value.
    Row execute(Transaction &transaction, const QVariantMap &parameters);
    std::unique_ptr<Cursor> openCursor(Transaction &transaction, const QVariantList &parameters = {});

    // An UPDATE or DELETE, whose row count tells whether it found its row.
    bool changesExistingRows() const { return m_changesExistingRows; }
    // Rows touched by the last execution.
    quint64 affectedRecords() const;

private:
    friend class Cursor;
    struct InputMessage;
    InputMessage buildInput(Transaction &transaction, const QVariantList &parameters);
    Row readRow(Transaction &transaction, const unsigned char *buffer) const;

    Database &m_database;
    ParsedSql m_parsed;
    fb::Ref<Firebird::IStatement> m_statement;
    fb::Ref<Firebird::IMessageMetadata> m_output;
    QVector<ColumnInfo> m_columns;
    QVector<MessageColumn> m_layout;
    unsigned m_outputLength = 0;
    bool m_changesExistingRows = false;
};

// An open result set; rows come one by one as they are asked for.
class Cursor
{
public:
    Cursor(PreparedStatement &statement, Transaction &transaction, Firebird::IResultSet *resultSet);
    ~Cursor();
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;

    // False once the rows are exhausted.
    bool fetch(Row &row);
    // The message buffer of the next row, valid until the next fetch; null at the end.
    const unsigned char *fetchMessage();

    void close();

private:
    PreparedStatement &m_statement;
    Transaction &m_transaction;
    fb::Ref<Firebird::IResultSet> m_resultSet;
    QByteArray m_buffer;
    // One status for every fetch: making one per row costs as much as the fetch.
    std::unique_ptr<fb::Status> m_status;
};
