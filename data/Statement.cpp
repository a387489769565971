#include "Statement.h"

#include "Database.h"
#include "FbApi.h"
#include "Numeric.h"
#include "SqlText.h"
#include "Transaction.h"
#include "ValueText.h"
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
    if (value.typeId() == QMetaType::Bool)
        return {value.toBool() ? 1 : 0, 0};
    Numeric number;
    if (valuetext::toNumeric(value, &number))
        return number;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        throw DatabaseError(QStringLiteral("Valor numérico fora do intervalo permitido em %1.").arg(name));
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

QVariant messageValue(const MessageColumn &column, const unsigned char *at)
{
    switch (column.sqlType) {
    case SQL_VARYING:
        return win1252::decode(reinterpret_cast<const char *>(at + 2), get<unsigned short>(at, 0));
    case SQL_TEXT:
        return win1252::decode(reinterpret_cast<const char *>(at), int(column.length));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const qint64 units = column.sqlType == SQL_SHORT ? get<short>(at, 0)
                           : column.sqlType == SQL_LONG  ? get<int>(at, 0)
                                                         : get<qint64>(at, 0);
        if (column.scale < 0)
            return QVariant::fromValue(Numeric{units, column.scale});
        if (column.sqlType == SQL_INT64)
            return units;
        return int(units);
    }
    case SQL_FLOAT:
        return double(get<float>(at, 0));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return get<double>(at, 0);
    case SQL_TYPE_DATE:
        return fb::decodeDate(get<ISC_DATE>(at, 0));
    case SQL_TYPE_TIME:
        return fb::decodeTime(get<ISC_TIME>(at, 0));
    case SQL_TIMESTAMP: {
        const ISC_TIMESTAMP stamp = get<ISC_TIMESTAMP>(at, 0);
        return QDateTime(fb::decodeDate(stamp.timestamp_date), fb::decodeTime(stamp.timestamp_time));
    }
    case SQL_BOOLEAN:
        return get<FB_BOOLEAN>(at, 0) != FB_FALSE;
    case SQL_BLOB:
        return QVariant::fromValue(get<BlobId>(at, 0));
    default:
        return {};
    }
}

QByteArray readBlob(Database &database, Transaction &transaction, const BlobId &id)
{
    ISC_QUAD quad;
    std::memcpy(&quad, &id, sizeof quad);
    QByteArray bytes;
    fb::Ref<IBlob> blob(fb::call([&](fb::Status *st) {
        return database.attachment()->openBlob(st, transaction.handle(), &quad, 0, nullptr);
    }));
    char segment[kBlobSegment];
    for (;;) {
        unsigned got = 0;
        const int result = fb::call([&](fb::Status *st) { return blob->getSegment(st, sizeof segment, segment, &got); });
        if (result != IStatus::RESULT_OK && result != IStatus::RESULT_SEGMENT)
            break;
        bytes.append(segment, int(got));
    }
    fb::call([&](fb::Status *st) { blob->close(st); });
    blob.detach(); // close() released it
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
    fb::Ref<IMessageMetadata> metadata;
    QByteArray buffer;

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
    m_statement.reset(fb::call([&](fb::Status *st) {
        return database.attachment()->prepare(st, transaction->handle(), unsigned(text.size()), text.constData(),
                                              unsigned(database.sqlDialect()), IStatement::PREPARE_PREFETCH_METADATA);
    }));
    const unsigned type = fb::call([&](fb::Status *st) { return m_statement->getType(st); });
    m_changesExistingRows = type == isc_info_sql_stmt_update || type == isc_info_sql_stmt_delete;
    fb::call([&](fb::Status *st) {
        m_output.reset(m_statement->getOutputMetadata(st));
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
            MessageColumn place;
            place.sqlType = type;
            place.offset = m_output->getOffset(st, i);
            place.nullOffset = m_output->getNullOffset(st, i);
            place.length = length;
            place.scale = scale;
            place.type = column.type;
            m_layout << place;
        }
    });
}

PreparedStatement::~PreparedStatement()
{
    // A statement of a closed attachment is already gone; the reference is only let go then.
    if (m_statement && m_database.connected()) {
        fb::Status st;
        m_statement->free(&st);
        if (!(st.getState() & IStatus::STATE_ERRORS))
            m_statement.detach(); // free() released it
    }
}

PreparedStatement::InputMessage PreparedStatement::buildInput(Transaction &transaction, const QVariantList &parameters)
{
    InputMessage message;
    const int count = int(m_parsed.parameterNames.size());
    if (count == 0 && parameters.isEmpty())
        return message;
    fb::Status st;
    fb::Ref<IMessageMetadata> described(fb::call([&](fb::Status *s) { return m_statement->getInputMetadata(s); }));
    const unsigned describedCount = fb::call([&](fb::Status *s) { return described->getCount(s); });
    if (int(describedCount) != parameters.size()) {
        throw DatabaseError(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.")
                                .arg(describedCount)
                                .arg(parameters.size()));
    }

    // Text parameters are sent with their own length (a shorter text needs no
    // padding); one longer than its column is refused here, before anything is written.
    QVector<QByteArray> texts;
    texts.resize(qsizetype(describedCount));
    fb::Ref<IMetadataBuilder> builder(fb::call([&](fb::Status *s) { return described->getBuilder(s); }));
    for (unsigned i = 0; i < describedCount; ++i) {
        const unsigned type = baseType(described->getType(&st, i));
        const QVariant &value = parameters.at(int(i));
        if ((type == SQL_VARYING || type == SQL_TEXT) && !isNullValue(value)) {
            const QString name = i < unsigned(count) ? m_parsed.parameterNames.at(int(i)) : QString::number(i + 1);
            texts[int(i)] = win1252::encode(value.toString(), name);
            const qsizetype capacity = qsizetype(described->getLength(&st, i));
            if (texts.at(int(i)).size() > capacity)
                throw DatabaseError::aboutField(QStringLiteral("O texto de %1 tem ") + QString::number(texts.at(int(i)).size())
                                                    + QStringLiteral(" caracteres; o campo aceita no máximo ")
                                                    + QString::number(capacity) + QLatin1Char('.'),
                                                name);
            builder->setType(&st, i, SQL_VARYING | 1);
            builder->setLength(&st, i, unsigned(qMax<qsizetype>(1, texts.at(int(i)).size())));
        }
    }
    st.check();
    message.metadata.reset(builder->getMetadata(&st));
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
            fb::Ref<IBlob> blob(fb::call([&](fb::Status *bst) {
                return m_database.attachment()->createBlob(bst, transaction.handle(), &id, 0, nullptr);
            }));
            for (qsizetype pos = 0; pos < bytes.size(); pos += kBlobSegment) {
                const unsigned piece = unsigned(qMin<qsizetype>(kBlobSegment, bytes.size() - pos));
                fb::call([&](fb::Status *bst) { blob->putSegment(bst, piece, bytes.constData() + pos); });
            }
            fb::call([&](fb::Status *bst) { blob->close(bst); });
            blob.detach(); // close() released it
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

Row PreparedStatement::readRow(Transaction &transaction, const unsigned char *buffer) const
{
    Row row(int(m_layout.size()));
    for (int i = 0; i < m_layout.size(); ++i) {
        const MessageColumn &column = m_layout.at(i);
        if (get<short>(buffer, column.nullOffset) != 0)
            continue;
        if (column.sqlType != SQL_BLOB) {
            row[i] = messageValue(column, buffer + column.offset);
            continue;
        }
        const QByteArray bytes = readBlob(m_database, transaction, get<BlobId>(buffer, column.offset));
        row[i] = column.type == ColumnType::TextBlob ? QVariant(win1252::decode(bytes)) : QVariant(bytes);
    }
    return row;
}

Row PreparedStatement::execute(Transaction &transaction, const QVariantList &parameters)
{
    InputMessage input = buildInput(transaction, parameters);
    QByteArray output(int(m_outputLength), '\0');
    fb::call([&](fb::Status *st) {
        m_statement->execute(st, transaction.handle(), input.metadata.get(), input.data(), m_output.get(),
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
        return m_statement->openCursor(st, transaction.handle(), input.metadata.get(), input.data(), m_output.get(), 0);
    });
    return std::make_unique<Cursor>(*this, transaction, resultSet);
}

Cursor::Cursor(PreparedStatement &statement, Transaction &transaction, IResultSet *resultSet)
    : m_statement(statement), m_transaction(transaction), m_resultSet(resultSet),
      m_buffer(int(statement.m_outputLength), '\0'), m_status(std::make_unique<fb::Status>())
{
}

Cursor::~Cursor()
{
    // The result set of a committed transaction or closed attachment can only be let go.
    if (m_resultSet && m_transaction.inTransaction() && m_statement.m_database.connected()) {
        fb::Status st;
        m_resultSet->close(&st);
        if (!(st.getState() & IStatus::STATE_ERRORS))
            m_resultSet.detach(); // close() released it
    }
}

const unsigned char *Cursor::fetchMessage()
{
    if (!m_resultSet)
        return nullptr;
    m_status->init();
    const int result = m_resultSet->fetchNext(m_status.get(), m_buffer.data());
    m_status->check();
    if (result != IStatus::RESULT_OK) {
        close();
        return nullptr;
    }
    return reinterpret_cast<const unsigned char *>(m_buffer.constData());
}

bool Cursor::fetch(Row &row)
{
    const unsigned char *message = fetchMessage();
    if (!message)
        return false;
    row = m_statement.readRow(m_transaction, message);
    return true;
}

void Cursor::close()
{
    if (!m_resultSet)
        return;
    fb::Ref<IResultSet> resultSet = std::move(m_resultSet);
    fb::call([&](fb::Status *st) { resultSet->close(st); });
    resultSet.detach(); // close() released it
}
