#pragma once

#include "MessageDialog.h"

#include <functional>
#include <memory>

// The catalogue of fixed messages: "FRmensagem" ("Cadastro Salvo"), "FRmensagem5"
// (the name is required), "FRmensagem6" and "FRmensagem10" (delete the current
// row?), "FRmensagem8" ("Registro excluído !!!", closes the question beneath
// too), "FRmensagem9" ("Configuração Salva !!!"), "FRmensagem12" ("Recibo
// Gravado !!!"), "FRmensagem14" (the program ends after a backup), "FRmensagem15"
// (restore this backup? the screen names the file), "FRmensagem16" ("Backup
// restaurado !!!") and "FRmensagem17" (discard what was typed?).
// Creates the named dialog; null for a name the catalogue does not hold.
std::unique_ptr<MessageDialog> createMessageDialog(const QString &name);

// The deletion sequence: the question asks; "Sim" runs the screen's remove,
// then the acknowledgement shows over the question and its OK closes both.
// A remove that fails leaves the question open.
void confirmDeletion(MessageDialog &question, MessageDialog &acknowledgement, const std::function<void()> &remove);

// The question before typing is thrown away: "Sim" closes it, then runs the
// screen's discard; "Não" leaves everything as it was.
void confirmDiscard(MessageDialog &question, const std::function<void()> &discard);
