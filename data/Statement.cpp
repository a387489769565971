#include "Statement.h"

#include "Database.h"
#include "FbApi.h"
#include "Numeric.h"
#include "SqlText.h"
#include "Transaction.h"
#include "Win1252.h"

#include <QDateTime>

#include <cstring>
#include <limits>

using namespace Firebird;

namespace {

constexpr unsigned kBlobSegment = 32 * 1024;

unsigned baseType(unsigned type)
{
    return type & ~1u;
}

template <typename T>
void put(QByteArray &buffer, unsigned offset, T value)
{
    std::memcpy(buffer.data() + offset, &value, sizeof value);
}

template <typename T>
T get(const unsigned char *buffer, unsigned offset)
{
    T value;
    std::memcpy(&value, buffer + offset, sizeof value);
    return value;
}

Numeric toNumeric(const QVariant &value, const QString &name)
{
    if (value.canConvert<Numeric>() && value.userType() == qMetaTypeId<Numeric>())
        return value.value<Numeric>();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::Bool:
        return {value.toLongLong(), 0};
    case QMetaType::Double: {
        // Enough decimals for any NUMERIC scale, rounded by rescaled() afterwards.
        const double scaled = value.toDouble() * 1e6;
        if (!std::isfinite(scaled) || std::abs(scaled) > 9.2e18)
            throw DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido em %1.").arg(name));
        return {qint64(std::llround(scaled)), -6};
    }
    default:
        break;
    }
    bool ok = false;
    const qint64 whole = value.toString().toLongLong(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("Valor inválido para %1: \"%2\".").arg(name, value.toString()));
    return {whole, 0};
}

} // namespace

bool isNullValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QDate:
        return !value.toDate().isValid();
    case QMetaType::QTime:
        return !value.toTime().isValid();
    case QMetaType::QDateTime:
        return !value.toDateTime().isValid();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    default:
        return false;
    }
}

QByteArray readBlob(Database &database, Transaction &transaction, const BlobId &id)
{
    ISC_QUAD quad;
    std::memcpy(&quad, &id, sizeof quad);
    QByteArray bytes;
    fb::call([&](fb::Status *st) {
        IBlob *blob = database.attachment()->openBlob(st, transaction.handle(), &quad, 0, nullptr);
        if (st->getState() & IStatus::STATE_ERRORS)
            return;
        char segment[kBlobSegment];
        for (;;) {
            unsigned got = 0;
            const int result = blob->getSegment(st, sizeof segment, segment, &got);
            if (result != IStatus::RESULT_OK && result != IStatus::RESULT_SEGMENT)
                break;
            bytes.append(segment, int(got));
        }
        if (st->getState() & IStatus::STATE_ERRORS) {
            blob->release();
            return;
        }
        blob->close(st);
    });
    return bytes;
}

static_assert(sizeof(BlobId) == sizeof(ISC_QUAD), "a blob id is the client library's quad");

ParsedSql ParsedSql::parse(const QString &sql)
{
    ParsedSql parsed;
    parsed.text.reserve(sql.size());
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        int last = i;
        if (sqltext::spanAt(sql, i, &last) != sqltext::Span::Code) {
            parsed.text += sql.mid(i, last - i + 1);
            i = last;
            continue;
        }
        const QChar c = sql.at(i);
        if (c == QLatin1Char(':') && i + 1 < n && (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_') || sql.at(j) == QLatin1Char('$')))
                ++j;
            parsed.parameterNames << sql.mid(i + 1, j - i - 1).toUpper();
            parsed.text += QLatin1Char('?');
            i = j - 1;
        } else {
            parsed.text += c;
        }
    }
    return parsed;
}

struct PreparedStatement::InputMessage
{
    IMessageMetadata *metadata = nullptr;
    QByteArray buffer;

    InputMessage() = default;
    InputMessage(InputMessage &&other) noexcept
        : metadata(std::exchange(other.metadata, nullptr)), buffer(std::move(other.buffer))
    {
    }
    ~InputMessage()
    {
        if (metadata)
            metadata->release();
    }
    unsigned char *data() { return buffer.isEmpty() ? nullptr : reinterpret_cast<unsigned char *>(buffer.data()); }
};

PreparedStatement::PreparedStatement(Database &database, const QString &sql)
    : m_database(database), m_parsed(ParsedSql::parse(sql))
{
    if (!database.connected())
        database.open();
    Transaction *transaction = database.defaultTransaction();
    if (!transaction)
        throw DatabaseError(QStringLiteral("O banco de dados não tem transação padrão."));
    const QByteArray text = win1252::encode(m_parsed.text, QStringLiteral("SQL"));
    m_statement = fb::call([&](fb::Status *st) {
        return database.attachment()->prepare(st, transaction->handle(), unsigned(text.size()), text.constData(),
                                              unsigned(database.sqlDialect()), IStatement::PREPARE_PREFETCH_METADATA);
    });
    const unsigned type = fb::call([&](fb::Status *st) { return m_statement->getType(st); });
    m_changesExistingRows = type == isc_info_sql_stmt_update || type == isc_info_sql_stmt_delete;
    fb::call([&](fb::Status *st) {
        m_output = m_statement->getOutputMetadata(st);
        if (!m_output || (st->getState() & IStatus::STATE_ERRORS))
            return;
        const unsigned count = m_output->getCount(st);
        m_outputLength = m_output->getMessageLength(st);
        for (unsigned i = 0; i < count; ++i) {
            ColumnInfo column;
            column.name = QString::fromUtf8(m_output->getAlias(st, i));
            const unsigned type = baseType(m_output->getType(st, i));
            const int scale = m_output->getScale(st, i);
            const unsigned length = m_output->getLength(st, i);
            column.scale = scale;
            column.size = int(length);
            switch (type) {
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                column.type = scale < 0 ? ColumnType::Numeric : ColumnType::Integer;
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                column.type = ColumnType::Double;
                break;
            case SQL_TYPE_DATE:
                column.type = ColumnType::Date;
                break;
            case SQL_TYPE_TIME:
                column.type = ColumnType::Time;
                break;
            case SQL_TIMESTAMP:
                column.type = ColumnType::Timestamp;
                break;
            case SQL_BLOB:
                column.type = m_output->getSubType(st, i) == 1 ? ColumnType::TextBlob : ColumnType::Blob;
                break;
            case SQL_BOOLEAN:
                column.type = ColumnType::Boolean;
                break;
            default:
                column.type = ColumnType::Text;
                break;
            }
            m_columns << column;
            m_offsets << m_output->getOffset(st, i);
            m_nullOffsets << m_output->getNullOffset(st, i);
            m_types << type;
            m_subTypes << unsigned(m_output->getSubType(st, i));
        }
    });
}

PreparedStatement::~PreparedStatement()
{
    if (m_output)
        m_output->release();
    if (m_statement) {
        fb::Status st;
        // A statement of a closed attachment is already gone; only release it then.
        if (m_database.connected())
            m_statement->free(&st);
        if (!m_database.connected() || (st.getState() & IStatus::STATE_ERRORS))
            m_statement->release();
    }
}

PreparedStatement::InputMessage PreparedStatement::buildInput(Transaction &transaction, const QVariantList &parameters)
{
    InputMessage message;
    const int count = int(m_parsed.parameterNames.size());
    if (count == 0 && parameters.isEmpty())
        return message;
    fb::Status st;
    IMessageMetadata *described = m_statement->getInputMetadata(&st);
    st.check();
    const unsigned describedCount = described->getCount(&st);
    if (int(describedCount) != parameters.size()) {
        described->release();
        throw DatabaseError(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.")
                                .arg(describedCount)
                                .arg(parameters.size()));
    }

    // Text parameters are sent with their own length so the server, not this
    // code, reports a text longer than its column.
    QVector<QByteArray> texts;
    texts.resize(qsizetype(describedCount));
    IMetadataBuilder *builder = described->getBuilder(&st);
    st.check();
    for (unsigned i = 0; i < describedCount; ++i) {
        const unsigned type = baseType(described->getType(&st, i));
        const QVariant &value = parameters.at(int(i));
        if ((type == SQL_VARYING || type == SQL_TEXT) && !isNullValue(value)) {
            const QString name = i < unsigned(count) ? m_parsed.parameterNames.at(int(i)) : QString::number(i + 1);
            texts[int(i)] = win1252::encode(value.toString(), name);
            builder->setType(&st, i, SQL_VARYING | 1);
            builder->setLength(&st, i, unsigned(qMax(1, int(texts[int(i)].size()))));
        }
    }
    message.metadata = builder->getMetadata(&st);
    builder->release();
    described->release();
    st.check();

    message.buffer = QByteArray(int(message.metadata->getMessageLength(&st)), '\0');
    for (unsigned i = 0; i < describedCount; ++i) {
        const QVariant &value = parameters.at(int(i));
        const unsigned offset = message.metadata->getOffset(&st, i);
        const unsigned nullOffset = message.metadata->getNullOffset(&st, i);
        const unsigned type = baseType(message.metadata->getType(&st, i));
        const int scale = message.metadata->getScale(&st, i);
        const QString name = i < unsigned(count) ? m_parsed.parameterNames.at(int(i)) : QString::number(i + 1);
        if (isNullValue(value)) {
            put<short>(message.buffer, nullOffset, -1);
            continue;
        }
        put<short>(message.buffer, nullOffset, 0);
        switch (type) {
        case SQL_VARYING: {
            const QByteArray &bytes = texts.at(int(i));
            put<unsigned short>(message.buffer, offset, static_cast<unsigned short>(bytes.size()));
            std::memcpy(message.buffer.data() + offset + sizeof(unsigned short), bytes.constData(), size_t(bytes.size()));
            break;
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            const qint64 units = toNumeric(value, name).rescaled(scale).units;
            if (type == SQL_SHORT && (units < std::numeric_limits<short>::min() || units > std::numeric_limits<short>::max()))
                throw DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido em %1.").arg(name));
            if (type == SQL_LONG && (units < std::numeric_limits<int>::min() || units > std::numeric_limits<int>::max()))
                throw DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido em %1.").arg(name));
            if (type == SQL_SHORT)
                put<short>(message.buffer, offset, short(units));
            else if (type == SQL_LONG)
                put<int>(message.buffer, offset, int(units));
            else
                put<qint64>(message.buffer, offset, units);
            break;
        }
        case SQL_FLOAT:
            put<float>(message.buffer, offset, float(value.toDouble()));
            break;
        case SQL_DOUBLE:
            put<double>(message.buffer, offset, value.toDouble());
            break;
        case SQL_TYPE_DATE:
            put<ISC_DATE>(message.buffer, offset, fb::encodeDate(value.toDate()));
            break;
        case SQL_TYPE_TIME:
            put<ISC_TIME>(message.buffer, offset, fb::encodeTime(value.toTime()));
            break;
        case SQL_TIMESTAMP: {
            const QDateTime moment = value.toDateTime();
            put<ISC_TIMESTAMP>(message.buffer, offset, ISC_TIMESTAMP{fb::encodeDate(moment.date()), fb::encodeTime(moment.time())});
            break;
        }
        case SQL_BOOLEAN:
            put<FB_BOOLEAN>(message.buffer, offset, value.toBool() ? FB_TRUE : FB_FALSE);
            break;
        case SQL_BLOB: {
            if (value.userType() == qMetaTypeId<BlobId>()) {
                put<BlobId>(message.buffer, offset, value.value<BlobId>());
                break;
            }
            const QByteArray bytes = value.typeId() == QMetaType::QString ? win1252::encode(value.toString(), name)
                                                                          : value.toByteArray();
            ISC_QUAD id{};
            fb::call([&](fb::Status *bst) {
                IBlob *blob = m_database.attachment()->createBlob(bst, transaction.handle(), &id, 0, nullptr);
                if (bst->getState() & IStatus::STATE_ERRORS)
                    return;
                for (int pos = 0; pos < bytes.size() && !(bst->getState() & IStatus::STATE_ERRORS); pos += int(kBlobSegment)) {
                    const unsigned piece = unsigned(qMin<qsizetype>(kBlobSegment, bytes.size() - pos));
                    blob->putSegment(bst, piece, bytes.constData() + pos);
                }
                if (bst->getState() & IStatus::STATE_ERRORS) {
                    blob->release();
                    return;
                }
                blob->close(bst);
            });
            put<ISC_QUAD>(message.buffer, offset, id);
            break;
        }
        default:
            throw DatabaseError(QStringLiteral("Tipo de parâmetro não suportado em %1.").arg(name));
        }
    }
    st.check();
    return message;
}

Row PreparedStatement::readRow(Transaction &transaction, const unsigned char *buffer, bool blobsAsIds) const
{
    Row row(int(m_columns.size()));
    for (int i = 0; i < m_columns.size(); ++i) {
        if (get<short>(buffer, m_nullOffsets.at(i)) != 0)
            continue;
        const unsigned offset = m_offsets.at(i);
        const ColumnInfo &column = m_columns.at(i);
        switch (m_types.at(i)) {
        case SQL_VARYING: {
            const unsigned short length = get<unsigned short>(buffer, offset);
            row[i] = win1252::decode(reinterpret_cast<const char *>(buffer + offset + 2), length);
            break;
        }
        case SQL_TEXT:
            row[i] = win1252::decode(reinterpret_cast<const char *>(buffer + offset), column.size);
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            const qint64 units = m_types.at(i) == SQL_SHORT ? get<short>(buffer, offset)
                               : m_types.at(i) == SQL_LONG  ? get<int>(buffer, offset)
                                                            : get<qint64>(buffer, offset);
            if (column.scale < 0)
                row[i] = QVariant::fromValue(Numeric{units, column.scale});
            else if (m_types.at(i) == SQL_INT64)
                row[i] = units;
            else
                row[i] = int(units);
            break;
        }
        case SQL_FLOAT:
            row[i] = double(get<float>(buffer, offset));
            break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            row[i] = get<double>(buffer, offset);
            break;
        case SQL_TYPE_DATE:
            row[i] = fb::decodeDate(get<ISC_DATE>(buffer, offset));
            break;
        case SQL_TYPE_TIME:
            row[i] = fb::decodeTime(get<ISC_TIME>(buffer, offset));
            break;
        case SQL_TIMESTAMP: {
            const ISC_TIMESTAMP stamp = get<ISC_TIMESTAMP>(buffer, offset);
            row[i] = QDateTime(fb::decodeDate(stamp.timestamp_date), fb::decodeTime(stamp.timestamp_time));
            break;
        }
        case SQL_BOOLEAN:
            row[i] = get<FB_BOOLEAN>(buffer, offset) != FB_FALSE;
            break;
        case SQL_BLOB: {
            const BlobId id = get<BlobId>(buffer, offset);
            if (blobsAsIds) {
                row[i] = QVariant::fromValue(id);
                break;
            }
            const QByteArray bytes = readBlob(m_database, transaction, id);
            if (column.type == ColumnType::TextBlob)
                row[i] = win1252::decode(bytes);
            else
                row[i] = bytes;
            break;
        }
        default:
            break;
        }
    }
    return row;
}

Row PreparedStatement::execute(Transaction &transaction, const QVariantList &parameters)
{
    InputMessage input = buildInput(transaction, parameters);
    QByteArray output(int(m_outputLength), '\0');
    fb::call([&](fb::Status *st) {
        m_statement->execute(st, transaction.handle(), input.metadata, input.data(), m_output,
                             output.isEmpty() ? nullptr : output.data());
    });
    if (m_columns.isEmpty())
        return {};
    return readRow(transaction, reinterpret_cast<const unsigned char *>(output.constData()));
}

Row PreparedStatement::execute(Transaction &transaction, const QVariantMap &parameters)
{
    QVariantList values;
    for (const QString &name : m_parsed.parameterNames) {
        const auto found = parameters.constFind(name);
        if (found == parameters.constEnd())
            throw DatabaseError(QStringLiteral("Parâmetro %1 não informado.").arg(name));
        values << found.value();
    }
    return execute(transaction, values);
}

quint64 PreparedStatement::affectedRecords() const
{
    return fb::call([&](fb::Status *st) { return quint64(m_statement->getAffectedRecords(st)); });
}

std::unique_ptr<Cursor> PreparedStatement::openCursor(Transaction &transaction, const QVariantList &parameters)
{
    InputMessage input = buildInput(transaction, parameters);
    IResultSet *resultSet = fb::call([&](fb::Status *st) {
        return m_statement->openCursor(st, transaction.handle(), input.metadata, input.data(), m_output, 0);
    });
    return std::make_unique<Cursor>(*this, transaction, resultSet);
}

Cursor::Cursor(PreparedStatement &statement, Transaction &transaction, IResultSet *resultSet)
    : m_statement(statement), m_transaction(transaction), m_resultSet(resultSet),
      m_buffer(int(statement.m_outputLength), '\0')
{
}

Cursor::~Cursor()
{
    if (m_resultSet) {
        // The result set of a committed transaction or closed attachment can only be released.
        if (m_transaction.inTransaction() && m_statement.m_database.connected()) {
            fb::Status st;
            m_resultSet->close(&st);
            if (st.getState() & IStatus::STATE_ERRORS)
                m_resultSet->release();
        } else {
            m_resultSet->release();
        }
    }
}

bool Cursor::fetch(Row &row)
{
    if (!m_resultSet)
        return false;
    const int result = fb::call([&](fb::Status *st) {
        return m_resultSet->fetchNext(st, m_buffer.data());
    });
    if (result != IStatus::RESULT_OK) {
        close();
        return false;
    }
    row = m_statement.readRow(m_transaction, reinterpret_cast<const unsigned char *>(m_buffer.constData()), m_blobsAsIds);
    return true;
}

void Cursor::close()
{
    if (!m_resultSet)
        return;
    IResultSet *resultSet = std::exchange(m_resultSet, nullptr);
    fb::call([&](fb::Status *st) { resultSet->close(st); });
}
