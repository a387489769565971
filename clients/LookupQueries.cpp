#include "LookupQueries.h"

#include "data/Dataset.h"

namespace lookupqueries {

QStringList clientesByName()
{
    return {QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")};
}

QStringList clientesByPrefix()
{
    return {QStringLiteral("SELECT * FROM CLIENTES WHERE"),
            QStringLiteral("CLIENTE STARTING WITH CAST(:TEXTO AS VARCHAR(32765)) ORDER BY CLIENTE")};
}

QStringList recibosNewestFirst()
{
    return {QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO DESC")};
}

QStringList recibosByPrefix()
{
    return {QStringLiteral("SELECT * FROM RECIBOS WHERE"),
            QStringLiteral("CLIENTE STARTING WITH CAST(:TEXTO AS VARCHAR(32765)) OR "
                           "EMITENTE STARTING WITH CAST(:TEXTO AS VARCHAR(32765)) ORDER BY ID_RECIBO")};
}

void search(Dataset &dataset, const QStringList &lines, const QString &text)
{
    dataset.close();
    dataset.setParam(kTextParam, text);
    dataset.requery(lines);
}

void reopenClientes(Dataset &clientes, int key)
{
    clientes.clearParams();
    clientes.requery(clientesByName());
    clientes.locate(QStringLiteral("ID_CLIENTE"), key);
}

} // namespace lookupqueries
