#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace Firebird { class IStatement; class IResultSet; class IMessageMetadata; }
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
    Row readRow(Transaction &transaction, const unsigned char *buffer, bool blobsAsIds = false) const;

    Database &m_database;
    ParsedSql m_parsed;
    Firebird::IStatement *m_statement = nullptr;
    Firebird::IMessageMetadata *m_output = nullptr;
    QVector<ColumnInfo> m_columns;
    QVector<unsigned> m_offsets, m_nullOffsets, m_types, m_subTypes;
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
    // Blob columns come as BlobId instead of their bytes.
    void setBlobsAsIds(bool asIds) { m_blobsAsIds = asIds; }
    void close();

private:
    PreparedStatement &m_statement;
    Transaction &m_transaction;
    Firebird::IResultSet *m_resultSet;
    QByteArray m_buffer;
    bool m_blobsAsIds = false;
};
