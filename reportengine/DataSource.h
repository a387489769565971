#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Dataset;

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
