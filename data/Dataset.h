#pragma once

#include "Field.h"
#include "RowStore.h"
#include "Statement.h"
#include "UpdateSql.h"

#include <QObject>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

class Database;
class Transaction;

// A query on a database within a transaction, with a buffer of the rows read so
// far (filled as rows are needed), a current row and the browse/insert/edit states.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };

    Dataset(Database &database, Transaction &transaction, const QString &name, QObject *parent = nullptr);
    ~Dataset() override;

    // The select text, a line at a time; changing it closes the dataset.
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &lines);
    void clearSql();
    // The screens' re-query: close, replace the select text line by line, open.
    // Followers see one aboutToReset()/reset() pair for all of it.
    void requery(const QStringList &lines);

    // Values of the select text's named parameters (":TEXTO"), given before open();
    // they stay through close, open and requery.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams();

    // Persistent fields, in column order; without them fields follow the select's columns.
    Field &addField(const QString &fieldName, ColumnType type, int size = 0, int scale = 0);
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }
    Field *findField(const QString &fieldName) const;
    Field &fieldByName(const QString &fieldName) const;

    // The statements must outlive the dataset (they belong to the same data module).
    void setUpdateObject(const UpdateSql *statements) { m_updateSql = statements; }
    // The generator drawn for keyField when a new row is posted without a key.
    void setGenerator(const QString &generator, const QString &keyField);

    bool active() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    void open();
    void close();

    // Rows read so far; more come with fetchMore() or by moving towards the end.
    int rowCount() const { return m_rows.size(); }
    bool allFetched() const { return !m_cursor; }
    int fetchMore(int count);
    bool isEmpty();
    int recNo() const { return m_current; }
    bool eof() const { return m_eof; }
    void first();
    void next();
    void last();
    void moveTo(int row);
    bool locate(const QString &fieldName, const QVariant &value);

    // While disabled (counted), moving and editing do not notify bound controls
    // (no currentChanged/fieldChanged); the structural signals still go out.
    // The last enableControls() emits one currentChanged.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_controlsDisabled > 0; }

    void insert();
    void edit();
    void post();
    void cancel();
    // Deletes the current row in the database at once; no commit follows.
    void remove();

    QVariant fieldValue(int fieldIndex) const;
    // Without reading a blob's bytes.
    bool fieldIsNull(int fieldIndex) const;
    void setFieldValue(int fieldIndex, const QVariant &value);
    QVariant valueAt(int row, int fieldIndex) const;

signals:
    void stateChanged(Dataset::State state);
    void currentChanged(int row);
    void fieldChanged(int fieldIndex);
    // Everything changes: opened, closed or re-queried (one pair each time).
    void aboutToReset();
    void reset();
    // Rows first..last are appended to the buffer.
    void rowsAboutToBeFetched(int first, int last);
    void rowsFetched(int first, int last);
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);

private:
    void openStatement();
    void closeStatement();
    void emitOpened();
    void emitCurrentChanged();
    void emitFieldChanged(int fieldIndex);
    QVariant resolved(const QVariant &stored, int fieldIndex) const;
    void requireActive() const;
    void requireEditing() const;
    void setState(State state);
    void setCurrent(int row);
    // Reads up to count rows from the cursor and packs them; they are not rows yet.
    std::vector<const char *> fetchRows(int count);
    QVariantMap parametersFor(const Row &values, const Row &original) const;
    int keyFieldIndex() const;
    // Rows the statement touched (1 for an insert).
    quint64 executeWrite(const QString &sql, const Row &values, const Row &original);
    int rowVersionColumn(const QVector<ColumnInfo> &columns) const;
    int updateKeyIndex() const;
    void modifyIfUnchanged();
    void rememberRowVersion();
    // The row with that key as stored now, laid out as the buffered rows; empty when it is gone.
    Row storedRow(const QVariant &key);

    Database &m_database;
    Transaction &m_transaction;
    QStringList m_sql;
    std::vector<std::unique_ptr<Field>> m_fields;
    bool m_persistentFields = false;
    const UpdateSql *m_updateSql = nullptr;
    QString m_generator;
    QString m_generatorKey;

    State m_state = State::Inactive;
    std::unique_ptr<PreparedStatement> m_statement;
    std::unique_ptr<Cursor> m_cursor;
    RowStore m_rows;
    // Rows this dataset inserted; the open cursor may meet them again.
    QSet<QString> m_insertedKeys;
    int m_current = -1;
    bool m_eof = true;
    Row m_editBuffer;
    // Where a row's version lies in its values (after the fields), -1 when the select reads none.
    int m_versionIndex = -1;
    // The current row as another station committed it, read when a post found it changed.
    Row m_storedRow;
    QVariantMap m_params;
    int m_controlsDisabled = 0;
    // The bytes of the blob last read for each field, so a screen that reads the
    // current row's picture twice reads it once.
    mutable QHash<int, QPair<BlobId, QByteArray>> m_blobCache;
};

// Disables the dataset's controls for the scope's lifetime.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(Dataset &dataset) : m_dataset(dataset) { m_dataset.disableControls(); }
    ~ControlsDisabled() { m_dataset.enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    Dataset &m_dataset;
};
