#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

class Cursor;
class Database;
class Dataset;
class PreparedStatement;
class Transaction;

// The rows a data band prints, read one at a time from the first.
class DataSource
{
public:
    virtual ~DataSource() = default;
    // Around each walk through the rows, also when preparing fails.
    virtual void beginRows() {}
    virtual void endRows() {}
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // The current row's value of a field; throws ReportError for a field it does not have.
    virtual QVariant value(const QString &field) const = 0;
    // Whether a thread other than the one that made it may walk the rows
    // (nothing else using what the source reads from meanwhile).
    virtual bool walksOnAnyThread() const { return false; }
};

// Rows held in memory, for tests and for lists a screen builds itself.
class MemoryDataSource : public DataSource
{
public:
    explicit MemoryDataSource(const QStringList &columns);
    void addRow(const QVariantList &values);

    void first() override { m_current = 0; }
    void next() override { ++m_current; }
    bool eof() const override { return m_current >= m_rows.size(); }
    QVariant value(const QString &field) const override;
    bool walksOnAnyThread() const override { return true; }

private:
    QHash<QString, int> m_columnOf; // upper-case name
    QVector<QVariantList> m_rows;
    int m_current = 0;
};

// A dataset of the program, walked from its first row; the dataset stays open.
// Controls bound to it do not follow the walk row by row.
class DatasetSource : public DataSource
{
public:
    explicit DatasetSource(Dataset &dataset);

    void beginRows() override;
    void endRows() override;
    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString &field) const override;

private:
    Dataset &m_dataset;
    mutable QHash<QString, int> m_indexOf;
};

// The rows of a dataset's query read afresh through a cursor of its own, one
// at a time and none kept, so that a report over a million rows holds one.
// The dataset itself (open, on the same connection and transaction) is
// neither moved nor filled; it only lends its select text and parameters.
class DatasetQuerySource : public DataSource
{
public:
    DatasetQuerySource(Dataset &dataset, Database &database, Transaction &transaction);
    ~DatasetQuerySource() override;

    void beginRows() override;
    void endRows() override;
    void first() override;
    void next() override;
    bool eof() const override { return !m_row; }
    QVariant value(const QString &field) const override;
    // Only the client library is called; it takes calls from any thread.
    bool walksOnAnyThread() const override { return true; }

private:
    int columnOf(const QString &field) const;

    Dataset &m_dataset;
    Database &m_database;
    Transaction &m_transaction;
    std::unique_ptr<PreparedStatement> m_statement;
    std::unique_ptr<Cursor> m_cursor;
    const unsigned char *m_row = nullptr;
    mutable QHash<QString, int> m_columnOf;
};
