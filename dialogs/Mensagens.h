#pragma once

#include "MessageDialog.h"

#include <memory>

// The catalogue of fixed messages. Each is created once at start-up and
// reached through its process-wide reference.
extern MessageDialog *FRmensagem;   // "Cadastro Salvo"
extern MessageDialog *FRmensagem5;  // the name is required
extern MessageDialog *FRmensagem6;  // delete the current client?
extern MessageDialog *FRmensagem8;  // "Registro excluído !!!", closes the question beneath too
extern MessageDialog *FRmensagem9;  // "Configuração Salva !!!"
extern MessageDialog *FRmensagem10; // delete the current receipt?
extern MessageDialog *FRmensagem12; // "Recibo Gravado !!!"
extern MessageDialog *FRmensagem14; // the program ends after a backup

// Creates the named dialog and points its reference at it; null for a name
// the catalogue does not hold.
std::unique_ptr<MessageDialog> createMessageDialog(const QString &name);
// Clears every reference, before the dialogs go at the end of the run.
void clearMessageDialogs();
