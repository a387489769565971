#pragma once

#include "EmailSettings.h"
#include "MailMessage.h"

#include <atomic>

// Sends messages through the SMTP server of the settings (libcurl). STARTTLS
// and SSL/TLS check the server's certificate against the system's authorities.
class SmtpSender
{
public:
    // Tests point this variable at a certificate authority of their own.
    static constexpr const char *kTestAuthorityVariable = "QUINDELO_SMTP_TEST_CA";

    explicit SmtpSender(EmailSettings settings);

    // How long the server may take to accept the connection, and then to
    // answer each command.
    void setTimeoutSeconds(int seconds) { m_timeoutSeconds = seconds; }

    // Blocks until the server took the message. Throws MailError with the reason
    // in Portuguese; `cancel`, set from another thread, stops the sending.
    void send(const MailMessage &message, const std::atomic_bool *cancel = nullptr) const;

private:
    EmailSettings m_settings;
    int m_timeoutSeconds = 10;
};
