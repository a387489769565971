#include "Transaction.h"

#include "Database.h"
#include "FbApi.h"

using namespace Firebird;

Transaction::Transaction(QObject *parent)
    : QObject(parent)
{
}

Transaction::~Transaction()
{
    if (inTransaction()) {
        try {
            commit();
        } catch (const DatabaseError &error) {
            qWarning("Committing at exit failed: %s", qPrintable(error.message()));
        }
    }
}

QByteArray Transaction::parameterBlock() const
{
    QByteArray tpb;
    tpb.append(char(isc_tpb_version3));
    for (const QString &param : m_params) {
        const QString name = param.trimmed().toLower();
        if (name == QLatin1String("read_committed"))
            tpb.append(char(isc_tpb_read_committed));
        else if (name == QLatin1String("rec_version"))
            tpb.append(char(isc_tpb_rec_version));
        else if (name == QLatin1String("no_rec_version"))
            tpb.append(char(isc_tpb_no_rec_version));
        else if (name == QLatin1String("nowait"))
            tpb.append(char(isc_tpb_nowait));
        else if (name == QLatin1String("wait"))
            tpb.append(char(isc_tpb_wait));
        else if (name == QLatin1String("concurrency"))
            tpb.append(char(isc_tpb_concurrency));
        else if (name == QLatin1String("consistency"))
            tpb.append(char(isc_tpb_consistency));
        else if (name == QLatin1String("read"))
            tpb.append(char(isc_tpb_read));
        else if (name == QLatin1String("write"))
            tpb.append(char(isc_tpb_write));
        else
            throw DatabaseError(QStringLiteral("Parâmetro de transação desconhecido: %1").arg(param));
    }
    if (!tpb.contains(char(isc_tpb_read)) && !tpb.contains(char(isc_tpb_write)))
        tpb.append(char(isc_tpb_write));
    return tpb;
}

void Transaction::startTransaction()
{
    if (inTransaction())
        return;
    if (!m_database || !m_database->connected())
        throw DatabaseError(QStringLiteral("A transação não tem um banco de dados conectado."));
    const QByteArray tpb = parameterBlock();
    m_transaction = fb::call([&](fb::Status *st) {
        return m_database->attachment()->startTransaction(st, unsigned(tpb.size()),
                                                          reinterpret_cast<const unsigned char *>(tpb.constData()));
    });
}

void Transaction::commit()
{
    if (!inTransaction())
        return;
    fb::call([&](fb::Status *st) { m_transaction->commit(st); });
    m_transaction = nullptr;
}

void Transaction::commitRetaining()
{
    if (!inTransaction())
        throw DatabaseError(QStringLiteral("Não há transação ativa."));
    fb::call([&](fb::Status *st) { m_transaction->commitRetaining(st); });
}

void Transaction::rollback()
{
    if (!inTransaction())
        return;
    fb::call([&](fb::Status *st) { m_transaction->rollback(st); });
    m_transaction = nullptr;
}

void Transaction::abandon()
{
    if (m_transaction)
        std::exchange(m_transaction, nullptr)->release();
}

ITransaction *Transaction::handle()
{
    if (!inTransaction())
        startTransaction();
    return m_transaction;
}
