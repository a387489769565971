#pragma once

#include <QString>

#include <optional>

// How the program reaches the user's mail server. They belong to the user,
// not to the database: one file in the user's configuration folder.
struct EmailSettings
{
    enum class Security { StartTls, SslTls, None };

    QString server;
    int port = 587;
    Security security = Security::StartTls;
    QString user; // empty: the server takes no login
    QString password;
    QString sender;     // the From address
    QString senderName; // shown beside it

    // A server and a sender address: enough to try sending.
    bool isComplete() const { return !server.trimmed().isEmpty() && !sender.trimmed().isEmpty(); }
};

namespace emailsettings {

// The names the settings screen offers and the file stores: "STARTTLS", "SSL/TLS", "Nenhuma".
QString securityName(EmailSettings::Security security);
std::optional<EmailSettings::Security> securityFromName(const QString &name);

// $XDG_CONFIG_HOME/quindelo/email.conf, ~/.config/quindelo/email.conf without it.
QString defaultPath();

// Nothing when the file does not exist; MailError when it exists and cannot be
// read or holds something that is not a setting.
std::optional<EmailSettings> load(const QString &path);

// Writes the file readable and writable by its owner only, also when it
// existed before with wider rights; the folder is made as needed. MailError on failure.
void save(const EmailSettings &settings, const QString &path);

} // namespace emailsettings
