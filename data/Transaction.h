#pragma once

#include <QObject>
#include <QStringList>

namespace Firebird { class ITransaction; }
class Database;

// A Firebird transaction with its parameters given as names
// ("read_committed", "rec_version", "nowait", ...).
class Transaction : public QObject
{
    Q_OBJECT
public:
    explicit Transaction(QObject *parent = nullptr);
    ~Transaction() override;

    Database *defaultDatabase() const { return m_database; }
    void setDefaultDatabase(Database *database) { m_database = database; }
    QStringList params() const { return m_params; }
    void setParams(const QStringList &params) { m_params = params; }

    bool inTransaction() const { return m_transaction != nullptr; }
    void startTransaction();
    void commit();
    // Makes the work durable and keeps the transaction and its open cursors.
    void commitRetaining();
    void rollback();
    // Lets go of a transaction whose attachment is gone.
    void abandon();

    Firebird::ITransaction *handle();

private:
    QByteArray parameterBlock() const;

    Database *m_database = nullptr;
    QStringList m_params;
    Firebird::ITransaction *m_transaction = nullptr;
};
