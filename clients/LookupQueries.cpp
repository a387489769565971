#include "LookupQueries.h"

#include "data/Dataset.h"

namespace lookupqueries {

QStringList clientesByName()
{
    return {QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")};
}

ListEntries clientesByNameEntries()
{
    ListEntries entries;
    entries.keyField = QStringLiteral("ID_CLIENTE");
    entries.row = QStringList{QStringLiteral("SELECT * FROM CLIENTES WHERE ID_CLIENTE = :KEY")};
    entries.fromRow = QStringList{QStringLiteral("SELECT * FROM CLIENTES WHERE CLIENTE >= :CLIENTE ORDER BY CLIENTE")};
    return entries;
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

ListEntries recibosByPrefixEntries()
{
    ListEntries entries;
    entries.keyField = QStringLiteral("ID_RECIBO");
    entries.reversed = QStringList{QStringLiteral("SELECT * FROM RECIBOS WHERE CLIENTE STARTING WITH CAST(:TEXTO AS VARCHAR(32765)) OR "
                                                  "EMITENTE STARTING WITH CAST(:TEXTO AS VARCHAR(32765)) ORDER BY ID_RECIBO DESC")};
    return entries;
}

QStringList recibosWithAName()
{
    return {QStringLiteral("SELECT * FROM RECIBOS WHERE"),
            QStringLiteral("CLIENTE IS NOT NULL OR EMITENTE IS NOT NULL ORDER BY ID_RECIBO")};
}

ListEntries recibosWithANameEntries()
{
    ListEntries entries;
    entries.keyField = QStringLiteral("ID_RECIBO");
    entries.reversed = QStringList{
        QStringLiteral("SELECT * FROM RECIBOS WHERE CLIENTE IS NOT NULL OR EMITENTE IS NOT NULL ORDER BY ID_RECIBO DESC")};
    return entries;
}

void search(Dataset &dataset, const QStringList &lines, const QString &text, const ListEntries &entries)
{
    // requery() closes and opens again, with one reset for followers.
    dataset.setParam(kTextParam, text);
    dataset.requery(lines, entries);
}

void reopenClientes(Dataset &clientes, int key)
{
    clientes.clearParams();
    clientes.requeryAtKey(clientesByName(), clientesByNameEntries(), key);
}

} // namespace lookupqueries
