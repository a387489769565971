#include "Dataset.h"

#include "Database.h"
#include "DatabaseError.h"
#include "Transaction.h"

namespace {

constexpr int kRowBufferGrowth = 1000;

QVariant normalized(const Field &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.dataType()) {
    case ColumnType::Numeric: {
        if (value.userType() == qMetaTypeId<Numeric>())
            return QVariant::fromValue(value.value<Numeric>().rescaled(field.scale()));
        if (value.typeId() == QMetaType::Double)
            return QVariant::fromValue(Numeric{qint64(std::llround(value.toDouble() * 1e6)), -6}.rescaled(field.scale()));
        return QVariant::fromValue(Numeric{value.toLongLong(), 0}.rescaled(field.scale()));
    }
    case ColumnType::Integer:
        if (value.userType() == qMetaTypeId<Numeric>())
            return field.size() > 4 ? QVariant(value.value<Numeric>().rescaled(0).units)
                                    : QVariant(int(value.value<Numeric>().rescaled(0).units));
        return field.size() > 4 ? QVariant(value.toLongLong()) : QVariant(value.toInt());
    case ColumnType::Text:
    case ColumnType::TextBlob:
        return value.toString();
    default:
        return value;
    }
}

} // namespace

Dataset::Dataset(Database &database, Transaction &transaction, const QString &name, QObject *parent)
    : QObject(parent), m_database(database), m_transaction(transaction)
{
    setObjectName(name);
    connect(&database, &Database::aboutToClose, this, &Dataset::close);
}

Dataset::~Dataset() = default;

void Dataset::setSql(const QStringList &lines)
{
    close();
    m_sql = lines;
}

void Dataset::clearSql()
{
    setSql({});
}

void Dataset::addSql(const QString &line)
{
    close();
    m_sql << line;
}

void Dataset::requery(const QStringList &lines)
{
    close();
    clearSql();
    for (const QString &line : lines)
        addSql(line);
    open();
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
    m_database.dropIfLost();
    if (!m_database.connected())
        m_database.open();
    if (!m_transaction.inTransaction())
        m_transaction.startTransaction();

    auto statement = std::make_unique<PreparedStatement>(m_database, m_sql.join(QLatin1Char('\n')));
    const QVector<ColumnInfo> &columns = statement->columns();
    if (!m_persistentFields) {
        m_fields.clear();
        for (const ColumnInfo &column : columns)
            m_fields.push_back(std::make_unique<Field>(*this, int(m_fields.size()), column.name, column.type, column.size, column.scale));
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

    m_cursor = statement->openCursor(m_transaction);
    m_statement = std::move(statement);
    m_columnOfField = columnOfField;
    m_rows.clear();
    m_rows.reserve(kRowBufferGrowth);
    m_insertedKeys.clear();
    m_state = State::Browse;
    try {
        fetchOne();
    } catch (...) {
        close();
        throw;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

void Dataset::close()
{
    if (!active())
        return;
    m_cursor.reset();
    m_statement.reset();
    m_rows.clear();
    m_rows.squeeze();
    m_editBuffer.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_state = State::Inactive;
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

bool Dataset::fetchOne()
{
    Row raw;
    const int key = keyFieldIndex();
    while (m_cursor) {
        if (!m_cursor->fetch(raw)) {
            m_cursor.reset();
            return false;
        }
        Row row(int(m_fields.size()));
        for (int f = 0; f < row.size(); ++f)
            row[f] = raw.at(m_columnOfField.at(f));
        if (key >= 0 && !m_insertedKeys.isEmpty() && m_insertedKeys.contains(row.at(key).toString()))
            continue;
        if (m_rows.size() == m_rows.capacity())
            m_rows.reserve(m_rows.size() + kRowBufferGrowth);
        m_rows.append(row);
        return true;
    }
    return false;
}

int Dataset::fetchMore(int count)
{
    requireActive();
    const int first = rowCount();
    for (int i = 0; i < count && fetchOne(); ++i) {
    }
    if (rowCount() > first)
        emit rowsFetched(first, rowCount() - 1);
    return rowCount() - first;
}

bool Dataset::isEmpty()
{
    requireActive();
    if (m_rows.isEmpty())
        fetchMore(1);
    if (!m_rows.isEmpty() && m_current < 0)
        setCurrent(0);
    return m_rows.isEmpty();
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}

void Dataset::first()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    setCurrent(isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void Dataset::next()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_current + 1 < rowCount() || fetchMore(1) > 0) {
        setCurrent(m_current + 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Dataset::prior()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_current > 0) {
        setCurrent(m_current - 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void Dataset::last()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    while (!allFetched())
        fetchMore(kRowBufferGrowth);
    setCurrent(rowCount() - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void Dataset::moveTo(int row)
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (row >= rowCount())
        fetchMore(row - rowCount() + 1);
    const int target = qBound(m_rows.isEmpty() ? -1 : 0, row, rowCount() - 1);
    setCurrent(target);
    m_bof = target <= 0;
    m_eof = m_rows.isEmpty() || (target == rowCount() - 1 && allFetched());
}

bool Dataset::locate(const QString &fieldName, const QVariant &value)
{
    requireActive();
    if (m_state != State::Browse)
        post();
    const Field &field = fieldByName(fieldName);
    const QVariant wanted = normalized(field, value);
    for (int row = 0;; ++row) {
        if (row >= rowCount() && fetchMore(kRowBufferGrowth) == 0)
            return false;
        if (m_rows.at(row).at(field.index()) == wanted) {
            setCurrent(row);
            m_bof = m_eof = false;
            return true;
        }
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
    m_rows.insert(position, Row(int(m_fields.size())));
    m_current = position;
    setState(State::Insert);
    emit rowInserted(position);
    emit currentChanged(position);
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
    m_editBuffer = m_rows.at(m_current);
    setState(State::Edit);
}

void Dataset::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    if (m_state == State::Insert) {
        const int key = keyFieldIndex();
        if (!m_generator.isEmpty() && key >= 0 && m_editBuffer.at(key).isNull()) {
            const Row drawn = m_database.prepared(QStringLiteral("SELECT GEN_ID(%1, 1) FROM RDB$DATABASE").arg(m_generator))
                                  .execute(m_transaction);
            m_editBuffer[key] = normalized(*m_fields.at(size_t(key)), drawn.value(0));
            emit fieldChanged(key);
        }
        executeWrite(m_updateSql->insertSql, m_editBuffer, Row(int(m_fields.size())));
        if (key >= 0)
            m_insertedKeys.insert(m_editBuffer.at(key).toString());
    } else {
        executeWrite(m_updateSql->modifySql, m_editBuffer, m_rows.at(m_current));
    }
    m_rows[m_current] = m_editBuffer;
    m_editBuffer.clear();
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
    setState(State::Browse);
    if (inserting) {
        const int removed = m_current;
        m_rows.removeAt(removed);
        emit rowRemoved(removed);
        m_current = qMin(removed, rowCount() - 1);
    }
    emit currentChanged(m_current);
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
    const Row &row = m_rows.at(m_current);
    executeWrite(m_updateSql->deleteSql, row, row);
    m_editBuffer.clear();
    setState(State::Browse);
    const int removed = m_current;
    m_rows.removeAt(removed);
    emit rowRemoved(removed);
    if (removed >= rowCount())
        fetchMore(1);
    m_current = qMin(removed, rowCount() - 1);
    m_eof = m_rows.isEmpty();
    emit currentChanged(m_current);
}

QVariant Dataset::fieldValue(int fieldIndex) const
{
    if (m_state == State::Insert || m_state == State::Edit)
        return m_editBuffer.value(fieldIndex);
    if (m_current < 0 || m_current >= rowCount())
        return {};
    return m_rows.at(m_current).value(fieldIndex);
}

void Dataset::setFieldValue(int fieldIndex, const QVariant &value)
{
    requireEditing();
    m_editBuffer[fieldIndex] = normalized(*m_fields.at(size_t(fieldIndex)), value);
    emit fieldChanged(fieldIndex);
}

QVariant Dataset::valueAt(int row, int fieldIndex) const
{
    if (row == m_current && (m_state == State::Insert || m_state == State::Edit))
        return m_editBuffer.value(fieldIndex);
    if (row < 0 || row >= rowCount())
        return {};
    return m_rows.at(row).value(fieldIndex);
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
    return parameters;
}

void Dataset::executeWrite(const QString &sql, const Row &values, const Row &original)
{
    PreparedStatement &statement = m_database.prepared(sql);
    statement.execute(m_transaction, parametersFor(values, original));
    // A modify or delete that finds no row would otherwise pass for a success.
    if (statement.changesExistingRows() && statement.affectedRecords() == 0)
        throw DatabaseError(QStringLiteral("%1: o registro não foi encontrado; ele foi alterado ou excluído por outro usuário.")
                                .arg(objectName()));
}
