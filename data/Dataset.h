#pragma once

#include "Field.h"
#include "RowStore.h"
#include "Statement.h"
#include "UpdateSql.h"

#include <QObject>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class Database;
class Transaction;

// Select texts that enter a list somewhere else than at its top. Each selects
// the same columns as the list; keyField is a unique key, by which a row met
// from two sides is known to be the same row.
struct ListEntries
{
    QString keyField;
    // The list's rows in the opposite order.
    QStringList reversed;
    // The row whose key is the parameter :KEY.
    QStringList row;
    // The list from a given row on, starting with the first row that sorts with
    // it; its parameters are named after fields and take that row's values.
    QStringList fromRow;
};

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
    // Followers see one aboutToReset()/reset() pair for all of it. The entries
    // stay with the list for readLast().
    void requery(const QStringList &lines, const ListEntries &entries = {});
    // requery(), then the last row current without reading the rows before it.
    void requeryAtLast(const QStringList &lines, const ListEntries &entries);
    // requery(), then locate(entries.keyField, key) without reading the rows
    // before that row; false, with the first row current, when there is none.
    bool requeryAtKey(const QStringList &lines, const ListEntries &entries, const QVariant &key);

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
    bool allFetched() const { return !m_cursor && !m_gap; }
    // Reads up to count rows that are not read yet, in the list's order.
    int fetchMore(int count);
    // After readLast(), requeryAtLast() or requeryAtKey() rows in the middle of
    // the list may be unread: they lie just before row gapAt() (-1 when none
    // are), and next(), last(), locate() and fetchMore() read them in place.
    int gapAt() const;
    // Up to count of them, the first ones or (when the list's entries allow)
    // the last ones; how many were read.
    int fetchGapFromTop(int count);
    int fetchGapFromEnd(int count);
    // The list's last row is read, whether or not a gap is left before it.
    bool endRead() const;
    // Reads up to count rows after the last one read.
    int fetchAfterLast(int count);
    // Reads the list's last `count` rows from its end, through the entries'
    // reversed text, leaving the rows in between unread; without it, reads to the end.
    void readLast(int count);
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
    // Rows first..last are read into the buffer: appended, or inserted at a gap.
    void rowsAboutToBeFetched(int first, int last);
    void rowsFetched(int first, int last);
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);

private:
    struct Gap;
    struct ReadRows
    {
        std::vector<const char *> rows;
        bool met = false;
    };

    void requeryThen(const QStringList &lines, const ListEntries &entries, const std::function<void()> &position);
    void openStatement();
    void closeStatement();
    void releaseStatements();
    // Prepared once per text and kept, so that re-opening the same text only opens a cursor.
    PreparedStatement &statementFor(const QString &sql);
    QVariantList parametersOf(const PreparedStatement &statement, const QVariantMap &values) const;
    std::unique_ptr<Cursor> openEntry(const QStringList &lines, const QVariantMap &values);
    bool enterAtKey(const QVariant &key);
    void emitOpened();
    void emitCurrentChanged();
    void emitFieldChanged(int fieldIndex);
    QVariant resolved(const QVariant &stored, int fieldIndex) const;
    void requireActive() const;
    void requireEditing() const;
    void setState(State state);
    void setCurrent(int row);
    // Reads up to count rows from the cursor and packs them (they are not rows
    // yet), skipping rows this dataset inserted; stops before a row `meets` accepts.
    ReadRows readRows(std::unique_ptr<Cursor> &cursor, int count, const std::function<bool(const char *)> &meets = {});
    // Puts read rows into the buffer at `position`; the current row stays the same row.
    void place(int position, const std::vector<const char *> &rows);
    int readOn(int count);
    int readGapFromTop(int count);
    int readGapFromEnd(int count);
    void closeGap();
    QString keyOf(const char *packed) const;
    QString keyAt(int row) const;
    int findRow(int fieldIndex, const QVariant &wanted);
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
    ListEntries m_entries;
    std::vector<std::unique_ptr<Field>> m_fields;
    bool m_persistentFields = false;
    const UpdateSql *m_updateSql = nullptr;
    QString m_generator;
    QString m_generatorKey;

    State m_state = State::Inactive;
    // Most recently used last; declared before the cursors, which end first.
    std::vector<std::pair<QString, std::unique_ptr<PreparedStatement>>> m_statements;
    PreparedStatement *m_statement = nullptr;
    // Reads on after the last row; while there is a gap, reads the gap from its top.
    std::unique_ptr<Cursor> m_cursor;
    std::unique_ptr<Gap> m_gap;
    bool m_resetting = false;
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
