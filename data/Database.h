#pragma once

#include <QObject>
#include <QStringList>

#include <map>
#include <memory>

namespace Firebird { class IAttachment; }
class Transaction;
class PreparedStatement;

// One attachment to a Firebird database. Settings are plain properties; the
// attachment is made on open() and released on close().
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name) { m_databaseName = name; }
    // "user_name=...", "password=...", "lc_ctype=..." as the connection parameters;
    // "connect_timeout=SECONDS" bounds the wait for a server that does not answer.
    QStringList params() const { return m_params; }
    void setParams(const QStringList &params) { m_params = params; }
    int sqlDialect() const { return m_sqlDialect; }
    void setSqlDialect(int dialect) { m_sqlDialect = dialect; }
    Transaction *defaultTransaction() const { return m_defaultTransaction; }
    void setDefaultTransaction(Transaction *transaction) { m_defaultTransaction = transaction; }

    bool connected() const { return m_attachment != nullptr; }
    void open();
    // Closes every dataset, commits the default transaction if it is active, detaches.
    void close();
    // An attachment whose server went away or that was shut down is given up,
    // so the next open() makes a new one. True when it was given up.
    bool dropIfLost();

    Firebird::IAttachment *attachment() const { return m_attachment; }

    // An embedded database whose file was deleted, moved or replaced since it
    // was opened takes writes that nobody will find again: throws DatabaseError then.
    void requireSameFile() const;

    // Statements are prepared once per attachment and kept until it closes.
    PreparedStatement &prepared(const QString &sql);

signals:
    // An attachment was made.
    void opened();
    void aboutToClose();
    // A lost attachment was given up, and with it the work not yet committed;
    // the text says so to the user (the application shows it in its error display).
    void connectionLost(const QString &text);

private:
    QByteArray parameterBlock() const;
    void releaseStatements();

    QString m_databaseName;
    QStringList m_params;
    int m_sqlDialect = 3;
    Transaction *m_defaultTransaction = nullptr;
    Firebird::IAttachment *m_attachment = nullptr;
    // The embedded database's file as opened (empty for a server's database).
    QString m_filePath;
    quint64 m_fileDevice = 0;
    quint64 m_fileInode = 0;
    std::map<QString, std::unique_ptr<PreparedStatement>> m_statements;
};
