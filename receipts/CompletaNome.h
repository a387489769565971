#pragma once

#include <QString>

// The name field after completing what was typed with the first matching
// client name: the rest of the name appended and selected, so the next typed
// character replaces the suggestion.
struct NomeCompletado
{
    QString texto;
    int inicioSelecao = 0;
    int tamanhoSelecao = 0;
};

// The completion query: the typed text travels as a parameter and is matched
// as a literal prefix (an apostrophe, "%" or "_" in it is just a character).
inline const QString kSqlCompletaNome =
    QStringLiteral("SELECT * FROM CLIENTES WHERE CLIENTE STARTING WITH :TEXTO ORDER BY CLIENTE");

NomeCompletado CompletaNome(const QString &digitado, const QString &nomeEncontrado);
