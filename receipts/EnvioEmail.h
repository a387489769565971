#pragma once

#include "mail/EmailSettings.h"
#include "mail/MailError.h"
#include "mail/MailMessage.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Sends on a thread of its own while a progress window with "Cancelar" keeps
// the screens responsive. Returns why it failed, in Portuguese; nothing when
// the server took the message.
std::optional<QString> enviaComProgresso(const EmailSettings &settings, const MailMessage &message, QWidget *parent);

// What the e-mail screens tell the user (a message box in the program).
using Aviso = std::function<void(const QString &text)>;
