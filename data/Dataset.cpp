#include "Dataset.h"

#include "Database.h"
#include "DatabaseError.h"
#include "Transaction.h"
#include "ValueText.h"
#include "Win1252.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

constexpr int kFetchChunk = 1000;
// The lookups alternate between a few texts: the full list, the search and the ways into the list.
constexpr size_t kKeptStatements = 4;

int precisionOf(const Field &field)
{
    return field.size() == 2 ? 4 : field.size() == 4 ? 9 : 18;
}

// The largest number of units the column holds: its precision's digits for a
// NUMERIC, the range of its binary size for a whole number.
qint64 largestUnits(const Field &field)
{
    if (field.dataType() == ColumnType::Integer)
        return field.size() == 2 ? 32767 : field.size() == 4 ? 2147483647 : std::numeric_limits<qint64>::max();
    qint64 limit = 1;
    for (int i = 0; i < precisionOf(field); ++i)
        limit *= 10;
    return limit - 1;
}

// The refusal of a value that is no number, date or time, as the field's type asks.
DatabaseError notAValue(const Field &field, const QVariant &value)
{
    const ColumnType type = field.dataType();
    const QString kind = type == ColumnType::Date   ? QStringLiteral("uma data válida")
                         : type == ColumnType::Time ? QStringLiteral("uma hora válida")
                                                    : QStringLiteral("um valor numérico válido");
    return DatabaseError(QStringLiteral("\"%1\" não é %2 para o campo %3.").arg(value.toString(), kind, field.fieldName()));
}

// A typed text as a value of the field's type; other values as they are.
QVariant fromText(const Field &field, const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    const QVariant typed = valuetext::fromText(value.toString(), field.dataType(), field.scale());
    if (!typed.isValid())
        throw notAValue(field, value);
    return typed;
}

DatabaseError doesNotFit(const Field &field, const QString &shown)
{
    if (field.dataType() == ColumnType::Integer)
        return DatabaseError(QStringLiteral("O valor %1 não cabe no campo %2.").arg(shown, field.fieldName()));
    const int decimals = -field.scale();
    return DatabaseError(QStringLiteral("O valor %1 não cabe no campo %2 (no máximo %3 dígitos antes da vírgula e %4 depois).")
                             .arg(shown, field.fieldName())
                             .arg(precisionOf(field) - decimals)
                             .arg(decimals));
}

Numeric numericFor(const Field &field, const QVariant &value)
{
    const int scale = field.dataType() == ColumnType::Numeric ? field.scale() : 0;
    const qint64 largest = largestUnits(field);
    Numeric number;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        if (!valuetext::fromDouble(value.toDouble(), scale, &number))
            throw doesNotFit(field, QLocale().toString(value.toDouble(), 'g', 17));
    } else if (!valuetext::toNumeric(value, &number)) {
        throw notAValue(field, value);
    }
    try {
        number = number.rescaled(scale);
    } catch (const DatabaseError &) {
        throw doesNotFit(field, valuetext::formatNumber(number, valuetext::numberPattern(0, false)));
    }
    if (number.units < -largest || number.units > largest)
        throw doesNotFit(field, valuetext::formatNumber(number, valuetext::numberPattern(-scale)));
    return number;
}

QDate dateFor(const Field &field, const QVariant &value)
{
    const QDate date = value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
    if (!date.isValid())
        throw notAValue(field, value);
    return date;
}

// The value as the field's column holds it; throws when it cannot be held.
QVariant normalized(const Field &field, const QVariant &value)
{
    if (isNullValue(value))
        return {};
    switch (field.dataType()) {
    case ColumnType::Numeric:
        return QVariant::fromValue(numericFor(field, fromText(field, value)));
    case ColumnType::Integer: {
        const qint64 whole = numericFor(field, fromText(field, value)).units;
        return field.size() > 4 ? QVariant(whole) : QVariant(int(whole));
    }
    case ColumnType::Double:
        return fromText(field, value);
    case ColumnType::Text:
    case ColumnType::TextBlob:
        return value.toString();
    case ColumnType::Date:
        return dateFor(field, fromText(field, value));
    case ColumnType::Time: {
        const QTime time = fromText(field, value).toTime();
        if (!time.isValid())
            throw notAValue(field, value);
        return time;
    }
    default:
        return value;
    }
}

bool sameLayout(const QVector<MessageColumn> &a, const QVector<MessageColumn> &b)
{
    if (a.size() != b.size())
        return false;
    for (int c = 0; c < a.size(); ++c) {
        if (a.at(c).sqlType != b.at(c).sqlType || a.at(c).offset != b.at(c).offset || a.at(c).nullOffset != b.at(c).nullOffset
            || a.at(c).length != b.at(c).length || a.at(c).scale != b.at(c).scale)
            return false;
    }
    return true;
}

bool sameColumns(const std::vector<std::unique_ptr<Field>> &fields, const QVector<ColumnInfo> &columns)
{
    if (fields.size() != size_t(columns.size()))
        return false;
    for (int c = 0; c < columns.size(); ++c) {
        const Field &field = *fields.at(size_t(c));
        const ColumnInfo &column = columns.at(c);
        if (field.fieldName() != column.name || field.dataType() != column.type || field.size() != column.size
            || field.scale() != column.scale)
            return false;
    }
    return true;
}

} // namespace

// Rows in the middle of the list that are not read yet, after the list was
// entered at its end or at a row: they lie just before row `at`.
struct Dataset::Gap
{
    int at = 0;
    int keyField = -1;
    // Reads them from their end backwards; there is none after entering at a row.
    std::unique_ptr<Cursor> fromEnd;
    // Reads on after the last row.
    std::unique_ptr<Cursor> afterLast;
    // Keys of the rows from `at` on: reading the gap from its top stops at them.
    QSet<QString> keysFromAt;
};

Dataset::Dataset(Database &database, Transaction &transaction, const QString &name, QObject *parent)
    : QObject(parent), m_database(database), m_transaction(transaction)
{
    setObjectName(name);
    connect(&database, &Database::aboutToClose, this, [this] {
        close();
        releaseStatements();
    });
}

Dataset::~Dataset() = default;

void Dataset::setSql(const QStringList &lines)
{
    close();
    m_sql = lines;
    m_entries = {};
}

void Dataset::clearSql()
{
    setSql({});
}

void Dataset::requery(const QStringList &lines, const ListEntries &entries)
{
    requeryThen(lines, entries, {});
}

void Dataset::requeryAtLast(const QStringList &lines, const ListEntries &entries)
{
    requeryThen(lines, entries, [this] {
        readLast(1);
        m_current = rowCount() - 1;
        m_eof = true;
    });
}

bool Dataset::requeryAtKey(const QStringList &lines, const ListEntries &entries, const QVariant &key)
{
    bool found = false;
    requeryThen(lines, entries, [&] { found = enterAtKey(key); });
    return found;
}

void Dataset::requeryThen(const QStringList &lines, const ListEntries &entries, const std::function<void()> &position)
{
    const bool wasActive = active();
    emit aboutToReset();
    try {
        closeStatement();
        m_sql = lines;
        m_entries = entries;
        openStatement();
        // Followers learn of the rows with the reset that follows.
        m_resetting = true;
        if (position)
            position();
        m_resetting = false;
    } catch (...) {
        m_resetting = false;
        closeStatement();
        emit reset();
        if (wasActive)
            emit stateChanged(m_state);
        emitCurrentChanged();
        throw;
    }
    emitOpened();
}

void Dataset::setParam(const QString &name, const QVariant &value)
{
    QString key = name.toUpper();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    m_params.insert(key, value);
}

QVariant Dataset::param(const QString &name) const
{
    QString key = name.toUpper();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    return m_params.value(key);
}

void Dataset::clearParams()
{
    m_params.clear();
}

Field &Dataset::addField(const QString &fieldName, ColumnType type, int size, int scale)
{
    m_persistentFields = true;
    m_fields.push_back(std::make_unique<Field>(*this, int(m_fields.size()), fieldName.toUpper(), type, size, scale));
    return *m_fields.back();
}

Field *Dataset::findField(const QString &fieldName) const
{
    for (const auto &field : m_fields) {
        if (field->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

Field &Dataset::fieldByName(const QString &fieldName) const
{
    Field *field = findField(fieldName);
    if (!field)
        throw DatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), fieldName));
    return *field;
}

void Dataset::setGenerator(const QString &generator, const QString &keyField)
{
    m_generator = generator;
    m_generatorKey = keyField;
}

void Dataset::open()
{
    if (active())
        return;
    emit aboutToReset();
    try {
        openStatement();
    } catch (...) {
        emit reset();
        throw;
    }
    emitOpened();
}

void Dataset::close()
{
    if (!active())
        return;
    emit aboutToReset();
    closeStatement();
    emit reset();
    emit stateChanged(m_state);
    emitCurrentChanged();
}

void Dataset::emitOpened()
{
    emit reset();
    emit stateChanged(m_state);
    emitCurrentChanged();
}

void Dataset::openStatement()
{
    m_database.dropIfLost();
    if (!m_database.connected())
        m_database.open();
    if (!m_transaction.inTransaction())
        m_transaction.startTransaction();

    const QString select = m_sql.join(QLatin1Char('\n'));
    PreparedStatement *statement = &statementFor(m_updateSql ? m_updateSql->withRowVersion(select) : select);
    QVector<ColumnInfo> columns = statement->columns();
    const int versionColumn = rowVersionColumn(columns);
    if (versionColumn >= 0)
        columns.remove(versionColumn);
    // Fields stay the same objects while the columns do, so references kept by screens stay good.
    if (!m_persistentFields && !sameColumns(m_fields, columns)) {
        m_fields.clear();
        for (const ColumnInfo &column : columns) {
            auto field = std::make_unique<Field>(*this, int(m_fields.size()), column.name, column.type, column.size, column.scale);
            if (column.type == ColumnType::Numeric)
                field->setDisplayFormat(valuetext::numberPattern(-column.scale));
            m_fields.push_back(std::move(field));
        }
    }
    QVector<int> columnOfField;
    for (const auto &field : m_fields) {
        int found = -1;
        for (int c = 0; c < columns.size() && found < 0; ++c) {
            if (columns.at(c).name.compare(field->fieldName(), Qt::CaseInsensitive) == 0)
                found = c;
        }
        if (found < 0)
            throw DatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), field->fieldName()));
        columnOfField << found;
    }
    // The row version travels as one more value after the fields.
    for (int &column : columnOfField) {
        if (versionColumn >= 0 && column >= versionColumn)
            ++column;
    }
    m_versionIndex = versionColumn < 0 ? -1 : int(columnOfField.size());
    if (versionColumn >= 0)
        columnOfField << versionColumn;

    m_cursor = statement->openCursor(m_transaction, parametersOf(*statement, {}));
    m_rows.reset(statement->messageColumns(), columnOfField);
    m_statement = statement;
    m_insertedKeys.clear();
    m_blobCache.clear();
    m_state = State::Browse;
    try {
        m_rows.insert(0, readRows(m_cursor, 1).rows);
    } catch (...) {
        closeStatement();
        throw;
    }
    m_current = rowCount() == 0 ? -1 : 0;
    m_eof = rowCount() == 0;
}

void Dataset::closeStatement()
{
    m_gap.reset();
    m_cursor.reset();
    m_statement = nullptr;
    // No cursor is open now, so any statement may go.
    while (m_statements.size() > kKeptStatements)
        m_statements.erase(m_statements.begin());
    m_rows.clear();
    m_editBuffer.clear();
    m_storedRow.clear();
    m_blobCache.clear();
    m_versionIndex = -1;
    m_current = -1;
    m_eof = true;
    m_state = State::Inactive;
}

void Dataset::releaseStatements()
{
    m_statement = nullptr;
    m_statements.clear();
}

PreparedStatement &Dataset::statementFor(const QString &sql)
{
    for (auto kept = m_statements.begin(); kept != m_statements.end(); ++kept) {
        if (kept->first == sql) {
            std::rotate(kept, kept + 1, m_statements.end());
            return *m_statements.back().second;
        }
    }
    auto statement = std::make_unique<PreparedStatement>(m_database, sql);
    m_statements.emplace_back(sql, std::move(statement));
    return *m_statements.back().second;
}

QVariantList Dataset::parametersOf(const PreparedStatement &statement, const QVariantMap &values) const
{
    QVariantList parameters;
    for (const QString &name : statement.parameterNames()) {
        const auto given = values.constFind(name);
        if (given != values.constEnd()) {
            parameters << given.value();
            continue;
        }
        const auto kept = m_params.constFind(name);
        if (kept == m_params.constEnd())
            throw DatabaseError(QStringLiteral("%1: parâmetro %2 não informado.").arg(objectName(), name));
        parameters << kept.value();
    }
    return parameters;
}

std::unique_ptr<Cursor> Dataset::openEntry(const QStringList &lines, const QVariantMap &values)
{
    const QString select = lines.join(QLatin1Char('\n'));
    // Its rows are packed as the list's own, the row version included.
    PreparedStatement &statement = statementFor(m_updateSql ? m_updateSql->withRowVersion(select) : select);
    if (!sameLayout(statement.messageColumns(), m_statement->messageColumns()))
        throw DatabaseError(QStringLiteral("%1: a consulta não traz as mesmas colunas da lista:\n%2").arg(objectName(), lines.join(QLatin1Char('\n'))));
    return statement.openCursor(m_transaction, parametersOf(statement, values));
}

void Dataset::readLast(int count)
{
    requireActive();
    // Rows after a row entered at are unread as well: only one gap is kept.
    if (m_entries.reversed.isEmpty() || (m_gap && !m_gap->fromEnd)) {
        while (!endRead())
            readOn(kFetchChunk);
        return;
    }
    if (endRead())
        return;
    m_gap = std::make_unique<Gap>();
    m_gap->at = rowCount();
    m_gap->keyField = fieldByName(m_entries.keyField).index();
    m_gap->fromEnd = openEntry(m_entries.reversed, {});
    readGapFromEnd(count);
}

bool Dataset::enterAtKey(const QVariant &key)
{
    const ListEntries &entries = m_entries;
    const Field &keyField = fieldByName(entries.keyField);
    const QVariant wanted = normalized(keyField, key);
    const auto rowOf = [&](const QVariant &value) {
        for (int row = 0; row < rowCount(); ++row) {
            if (m_rows.value(row, keyField.index()) == value)
                return row;
        }
        return -1;
    };
    const int read = rowOf(wanted);
    if (read >= 0)
        m_current = read;
    if (read >= 0 || allFetched())
        return read >= 0;

    QVariantMap values;
    {
        std::unique_ptr<Cursor> row = openEntry(entries.row, {{QStringLiteral("KEY"), wanted}});
        const unsigned char *message = row->fetchMessage();
        if (!message)
            return false;
        const char *packed = m_rows.pack(message);
        for (const auto &field : m_fields)
            values.insert(field->fieldName(), m_rows.packedValue(packed, field->index()));
    }
    std::unique_ptr<Cursor> from = openEntry(entries.fromRow, values);
    // Rows that sort with the sought one come before it; those read already are not taken twice.
    std::vector<const char *> window;
    bool found = false;
    for (int ties = 0; !found && ties < kFetchChunk; ++ties) {
        const ReadRows next = readRows(from, 1);
        if (next.rows.empty())
            break;
        const QVariant value = m_rows.packedValue(next.rows.front(), keyField.index());
        if (rowOf(value) < 0)
            window.push_back(next.rows.front());
        found = value == wanted;
    }
    if (!found) {
        // A row that sorts before every other (a NULL) is not found from its place: it is among the first.
        const int row = findRow(keyField.index(), wanted);
        if (row >= 0)
            m_current = row;
        return row >= 0;
    }
    m_gap = std::make_unique<Gap>();
    m_gap->at = rowCount();
    m_gap->keyField = keyField.index();
    m_gap->afterLast = std::move(from);
    for (const char *row : window)
        m_gap->keysFromAt.insert(keyOf(row));
    place(rowCount(), window);
    m_current = rowCount() - 1;
    m_eof = false;
    return true;
}

Dataset::ReadRows Dataset::readRows(std::unique_ptr<Cursor> &cursor, int count, const std::function<bool(const char *)> &meets)
{
    ReadRows read;
    const int key = keyFieldIndex();
    while (int(read.rows.size()) < count && cursor) {
        const unsigned char *message = cursor->fetchMessage();
        if (!message) {
            cursor.reset();
            break;
        }
        const char *row = m_rows.pack(message);
        if (key >= 0 && !m_insertedKeys.isEmpty() && m_insertedKeys.contains(m_rows.packedValue(row, key).toString()))
            continue;
        if (meets && meets(row)) {
            read.met = true;
            break;
        }
        read.rows.push_back(row);
    }
    return read;
}

void Dataset::place(int position, const std::vector<const char *> &rows)
{
    if (rows.empty())
        return;
    const int last = position + int(rows.size()) - 1;
    if (!m_resetting)
        emit rowsAboutToBeFetched(position, last);
    m_rows.insert(position, rows);
    if (m_current >= position)
        m_current += int(rows.size());
    if (!m_resetting)
        emit rowsFetched(position, last);
}

int Dataset::readOn(int count)
{
    std::unique_ptr<Cursor> &cursor = m_gap ? m_gap->afterLast : m_cursor;
    const std::vector<const char *> rows = readRows(cursor, count).rows;
    if (m_gap) {
        for (const char *row : rows)
            m_gap->keysFromAt.insert(keyOf(row));
    }
    place(rowCount(), rows);
    return int(rows.size());
}

int Dataset::readGapFromTop(int count)
{
    const ReadRows read = readRows(m_cursor, count, [this](const char *row) { return m_gap->keysFromAt.contains(keyOf(row)); });
    const int at = m_gap->at;
    m_gap->at += int(read.rows.size());
    place(at, read.rows);
    if (read.met || !m_cursor)
        closeGap();
    return int(read.rows.size());
}

int Dataset::readGapFromEnd(int count)
{
    const int at = m_gap->at;
    const QString above = at > 0 ? keyAt(at - 1) : QString();
    ReadRows read = readRows(m_gap->fromEnd, count, [&](const char *row) { return at > 0 && keyOf(row) == above; });
    std::reverse(read.rows.begin(), read.rows.end());
    for (const char *row : read.rows)
        m_gap->keysFromAt.insert(keyOf(row));
    place(at, read.rows);
    if (read.met || !m_gap->fromEnd)
        closeGap();
    return int(read.rows.size());
}

void Dataset::closeGap()
{
    m_cursor = std::move(m_gap->afterLast);
    m_gap.reset();
}

QString Dataset::keyOf(const char *packed) const
{
    return m_rows.packedValue(packed, m_gap->keyField).toString();
}

QString Dataset::keyAt(int row) const
{
    return m_rows.value(row, m_gap->keyField).toString();
}

int Dataset::gapAt() const
{
    return m_gap ? m_gap->at : -1;
}

int Dataset::fetchGapFromTop(int count)
{
    requireActive();
    return m_gap ? readGapFromTop(count) : 0;
}

int Dataset::fetchGapFromEnd(int count)
{
    requireActive();
    return m_gap && m_gap->fromEnd ? readGapFromEnd(count) : 0;
}

bool Dataset::endRead() const
{
    return m_gap ? !m_gap->afterLast : !m_cursor;
}

int Dataset::fetchAfterLast(int count)
{
    requireActive();
    return readOn(count);
}

int Dataset::fetchMore(int count)
{
    requireActive();
    int fetched = 0;
    while (fetched < count && !allFetched())
        fetched += m_gap ? readGapFromTop(count - fetched) : readOn(count - fetched);
    return fetched;
}

bool Dataset::isEmpty()
{
    requireActive();
    if (rowCount() == 0)
        fetchMore(1);
    if (rowCount() > 0 && m_current < 0)
        setCurrent(0);
    return rowCount() == 0;
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emitCurrentChanged();
}

void Dataset::emitCurrentChanged()
{
    if (m_controlsDisabled == 0)
        emit currentChanged(m_current);
}

void Dataset::emitFieldChanged(int fieldIndex)
{
    if (m_controlsDisabled == 0)
        emit fieldChanged(fieldIndex);
}

void Dataset::disableControls()
{
    ++m_controlsDisabled;
}

void Dataset::enableControls()
{
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0)
        emit currentChanged(m_current);
}

void Dataset::first()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_gap && m_gap->at == 0)
        readGapFromTop(1);
    setCurrent(isEmpty() ? -1 : 0);
    m_eof = rowCount() == 0;
}

void Dataset::next()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_gap && m_gap->at == m_current + 1)
        readGapFromTop(1);
    if (m_current + 1 < rowCount() || readOn(1) > 0) {
        setCurrent(m_current + 1);
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Dataset::last()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    while (!allFetched())
        fetchMore(kFetchChunk);
    setCurrent(rowCount() - 1);
    m_eof = true;
}

void Dataset::moveTo(int row)
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (row >= rowCount())
        fetchMore(row - rowCount() + 1);
    const int target = qBound(rowCount() == 0 ? -1 : 0, row, rowCount() - 1);
    setCurrent(target);
    m_eof = rowCount() == 0 || (target == rowCount() - 1 && allFetched());
}

bool Dataset::locate(const QString &fieldName, const QVariant &value)
{
    requireActive();
    if (m_state != State::Browse)
        post();
    const Field &field = fieldByName(fieldName);
    const int row = findRow(field.index(), normalized(field, value));
    if (row < 0)
        return false;
    setCurrent(row);
    m_eof = false;
    return true;
}

int Dataset::findRow(int fieldIndex, const QVariant &wanted)
{
    for (int row = 0;; ++row) {
        // The rows of a gap come before the row at its end.
        while ((m_gap && m_gap->at == row) || row >= rowCount()) {
            if (fetchMore(kFetchChunk) == 0 && row >= rowCount())
                return -1;
        }
        if (m_rows.value(row, fieldIndex) == wanted)
            return row;
    }
}

void Dataset::insert()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (!m_updateSql)
        throw DatabaseError(QStringLiteral("%1: não é possível incluir em um conjunto de dados somente leitura.").arg(objectName()));
    const int position = m_current < 0 ? 0 : m_current;
    m_editBuffer = Row(int(m_fields.size()));
    emit rowAboutToBeInserted(position);
    m_rows.insert(position, Row(int(m_fields.size())));
    if (m_gap && position < m_gap->at)
        ++m_gap->at;
    m_current = position;
    emit rowInserted(position);
    setState(State::Insert);
    emitCurrentChanged();
}

void Dataset::edit()
{
    requireActive();
    if (m_state != State::Browse)
        return;
    if (isEmpty()) {
        insert();
        return;
    }
    if (!m_updateSql)
        throw DatabaseError(QStringLiteral("%1: não é possível alterar um conjunto de dados somente leitura.").arg(objectName()));
    m_editBuffer = m_rows.values(m_current);
    m_storedRow.clear();
    setState(State::Edit);
}

void Dataset::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    m_database.requireSameFile();
    if (m_state == State::Insert) {
        const int key = keyFieldIndex();
        if (!m_generator.isEmpty() && key >= 0 && m_editBuffer.at(key).isNull()) {
            const Row drawn = m_database.prepared(QStringLiteral("SELECT GEN_ID(%1, 1) FROM RDB$DATABASE").arg(m_generator))
                                  .execute(m_transaction);
            m_editBuffer[key] = normalized(*m_fields.at(size_t(key)), drawn.value(0));
            emitFieldChanged(key);
        }
        executeWrite(m_updateSql->insertSql, m_editBuffer, Row(int(m_fields.size())));
        if (key >= 0)
            m_insertedKeys.insert(m_editBuffer.at(key).toString());
    } else {
        modifyIfUnchanged();
    }
    rememberRowVersion();
    m_rows.replace(m_current, m_editBuffer);
    m_editBuffer.clear();
    m_storedRow.clear();
    setState(State::Browse);
    emit rowUpdated(m_current);
}

void Dataset::cancel()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    const bool inserting = m_state == State::Insert;
    m_editBuffer.clear();
    if (!m_storedRow.isEmpty()) {
        m_rows.replace(m_current, std::exchange(m_storedRow, Row()));
        m_blobCache.clear();
        emit rowUpdated(m_current);
    }
    setState(State::Browse);
    if (inserting) {
        const int removed = m_current;
        emit rowAboutToBeRemoved(removed);
        m_rows.remove(removed);
        if (m_gap && removed < m_gap->at)
            --m_gap->at;
        emit rowRemoved(removed);
        m_current = qMin(removed, rowCount() - 1);
    }
    emitCurrentChanged();
}

void Dataset::remove()
{
    requireActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw DatabaseError(QStringLiteral("%1: não há registro para excluir.").arg(objectName()));
    if (!m_updateSql)
        throw DatabaseError(QStringLiteral("%1: não é possível excluir de um conjunto de dados somente leitura.").arg(objectName()));
    m_database.requireSameFile();
    const Row row = m_rows.values(m_current);
    if (executeWrite(m_updateSql->deleteSql, row, row) == 0)
        throw DatabaseError(QStringLiteral("%1: o registro não foi encontrado; ele foi alterado ou excluído por outro usuário.")
                                .arg(objectName()));
    m_editBuffer.clear();
    setState(State::Browse);
    const int removed = m_current;
    const bool gapFollowed = m_gap && removed == m_gap->at - 1;
    emit rowAboutToBeRemoved(removed);
    m_rows.remove(removed);
    if (m_gap && removed < m_gap->at)
        --m_gap->at;
    emit rowRemoved(removed);
    // The row after the deleted one takes its place; after the last, the one before it.
    int current = removed;
    if (gapFollowed)
        readGapFromTop(1);
    if (removed >= rowCount() && readOn(1) == 0 && m_gap && m_gap->at == removed) {
        if (m_gap->fromEnd) {
            readGapFromEnd(1);
        } else {
            fetchMore(std::numeric_limits<int>::max());
            current = rowCount() - 1;
        }
    }
    m_current = qMin(current, rowCount() - 1);
    m_eof = rowCount() == 0;
    emitCurrentChanged();
}

QVariant Dataset::resolved(const QVariant &stored, int fieldIndex) const
{
    if (stored.userType() != qMetaTypeId<BlobId>())
        return stored;
    const BlobId id = stored.value<BlobId>();
    auto cached = m_blobCache.constFind(fieldIndex);
    if (cached == m_blobCache.constEnd() || !(cached->first == id))
        cached = m_blobCache.insert(fieldIndex, qMakePair(id, readBlob(m_database, m_transaction, id)));
    if (m_fields.at(size_t(fieldIndex))->dataType() == ColumnType::TextBlob)
        return win1252::decode(cached->second);
    return cached->second;
}

QVariant Dataset::fieldValue(int fieldIndex) const
{
    return valueAt(m_current, fieldIndex);
}

bool Dataset::fieldIsNull(int fieldIndex) const
{
    if (m_state == State::Insert || m_state == State::Edit)
        return isNullValue(m_editBuffer.value(fieldIndex));
    if (m_current < 0 || m_current >= rowCount())
        return true;
    return isNullValue(m_rows.value(m_current, fieldIndex));
}

void Dataset::setFieldValue(int fieldIndex, const QVariant &value)
{
    requireEditing();
    m_editBuffer[fieldIndex] = normalized(*m_fields.at(size_t(fieldIndex)), value);
    emitFieldChanged(fieldIndex);
}

QVariant Dataset::valueAt(int row, int fieldIndex) const
{
    if (row == m_current && (m_state == State::Insert || m_state == State::Edit))
        return resolved(m_editBuffer.value(fieldIndex), fieldIndex);
    if (row < 0 || row >= rowCount())
        return {};
    return resolved(m_rows.value(row, fieldIndex), fieldIndex);
}

void Dataset::requireActive() const
{
    if (!active())
        throw DatabaseError(QStringLiteral("%1: não é possível executar esta operação em um conjunto de dados fechado.").arg(objectName()));
}

void Dataset::requireEditing() const
{
    if (m_state != State::Insert && m_state != State::Edit)
        throw DatabaseError(QStringLiteral("%1: o conjunto de dados não está em modo de edição ou inclusão.").arg(objectName()));
}

void Dataset::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

int Dataset::keyFieldIndex() const
{
    const Field *key = m_generatorKey.isEmpty() ? nullptr : findField(m_generatorKey);
    return key ? key->index() : -1;
}

QVariantMap Dataset::parametersFor(const Row &values, const Row &original) const
{
    QVariantMap parameters;
    for (const auto &field : m_fields) {
        parameters.insert(field->fieldName(), values.at(field->index()));
        parameters.insert(QStringLiteral("OLD_") + field->fieldName(), original.at(field->index()));
    }
    parameters.insert(QStringLiteral("OLD_") + UpdateSql::kRowVersion, original.value(m_versionIndex));
    return parameters;
}

quint64 Dataset::executeWrite(const QString &sql, const Row &values, const Row &original)
{
    PreparedStatement &statement = m_database.prepared(sql);
    statement.execute(m_transaction, parametersFor(values, original));
    return statement.changesExistingRows() ? statement.affectedRecords() : 1;
}

int Dataset::rowVersionColumn(const QVector<ColumnInfo> &columns) const
{
    for (int c = 0; m_updateSql && c < columns.size(); ++c) {
        if (columns.at(c).name.compare(UpdateSql::kRowVersion, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

int Dataset::updateKeyIndex() const
{
    const Field *key = findField(m_updateSql->keyColumn);
    if (!key)
        throw DatabaseError(QStringLiteral("%1: campo '%2' não encontrado.").arg(objectName(), m_updateSql->keyColumn));
    return key->index();
}

void Dataset::modifyIfUnchanged()
{
    if (m_versionIndex < 0)
        throw DatabaseError(QStringLiteral("%1: a consulta não lê a versão dos registros; a alteração não pode ser gravada com segurança.")
                                .arg(objectName()));
    const Row original = m_rows.values(m_current);
    if (executeWrite(m_updateSql->modifySql, m_editBuffer, original) > 0)
        return;
    // Changed or deleted elsewhere since it was read: keep the typing, and let Cancel show what is stored now.
    m_storedRow = storedRow(original.value(updateKeyIndex()));
    throw DatabaseError(QStringLiteral("Este registro foi alterado em outra estação depois que você começou a editá-lo.\n"
                                       "Cancele para ver os dados atuais e digite de novo as suas mudanças."));
}

void Dataset::rememberRowVersion()
{
    if (m_versionIndex < 0)
        return;
    const QString key = m_updateSql->keyColumn;
    const Row version = m_database.prepared(m_updateSql->rowVersionSql)
                            .execute(m_transaction, QVariantMap{{key, m_editBuffer.at(updateKeyIndex())}});
    m_editBuffer.resize(m_versionIndex + 1);
    m_editBuffer[m_versionIndex] = version.value(0);
}

Row Dataset::storedRow(const QVariant &key)
{
    PreparedStatement &select = m_database.prepared(m_updateSql->withRowVersion(
        QStringLiteral("select * from %1 where %2 = :KEY").arg(m_updateSql->table, m_updateSql->keyColumn)));
    const std::unique_ptr<Cursor> cursor = select.openCursor(m_transaction, {key});
    Row read;
    if (!cursor->fetch(read))
        return {};
    Row stored(m_versionIndex + 1);
    for (int c = 0; c < select.columns().size(); ++c) {
        const QString &name = select.columns().at(c).name;
        const Field *field = findField(name);
        if (field)
            stored[field->index()] = read.value(c);
        else if (name.compare(UpdateSql::kRowVersion, Qt::CaseInsensitive) == 0)
            stored[m_versionIndex] = read.value(c);
    }
    return stored;
}
