#pragma once

#include "data/Dataset.h"

#include <QString>
#include <QStringList>

// The select texts of the lookup screens. The typed text never becomes SQL: it
// travels as the parameter TEXTO, which STARTING WITH matches literally (an
// apostrophe, "%" or "_" matches itself) and through the name's index. The
// cast lets a text longer than the column be sought (it matches nothing).
namespace lookupqueries {

inline const QString kTextParam = QStringLiteral("TEXTO");

QStringList clientesByName();
// Into clientesByName() at a client, without reading the clients before it.
ListEntries clientesByNameEntries();
QStringList clientesByPrefix();
QStringList recibosNewestFirst();
QStringList recibosByPrefix();
// Into recibosByPrefix() from its end, for a grid taken to its bottom.
ListEntries recibosByPrefixEntries();
// The rows recibosByPrefix() gives for the empty text (a name on either side),
// read in number order instead of through both name indexes; and its ways in.
QStringList recibosWithAName();
ListEntries recibosWithANameEntries();

// Re-issues `lines` on the dataset with `text` as the prefix sought.
void search(Dataset &dataset, const QStringList &lines, const QString &text, const ListEntries &entries = {});

// Turns Clientes back into the full list in name order on the client whose key
// is given (the first by name when there is no such client).
void reopenClientes(Dataset &clientes, int key);

} // namespace lookupqueries
