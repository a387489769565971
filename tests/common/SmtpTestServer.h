#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (aiosmtpd, smtp_server.py) on 127.0.0.1 for one test: a
// process of the test's own, stopped by its PID when the object goes. Each
// message it accepts is kept decoded by Python's own mail parser.
class SmtpTestServer
{
public:
    enum class Mode { Plain, StartTls, Ssl, Silent };
    struct Options
    {
        Mode mode = Mode::Plain;
        QString user; // with it, the server requires this login
        QString password;
        QStringList refused; // recipients it answers with 550
    };

    explicit SmtpTestServer(const Options &options);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer &) = delete;
    SmtpTestServer &operator=(const SmtpTestServer &) = delete;

    // Empty when it is listening; else why it did not start.
    QString failure() const { return m_failure; }
    int port() const { return m_port; }
    // The authority that signed the server's certificate (STARTTLS and SSL/TLS).
    QString authorityFile() const;

    // Accepted messages, oldest first: mail_from, rcpt_tos, login, tls, from, to,
    // subject, date_valid, message_id, headers_ascii, text, text_charset and
    // attachments (filename, type, path of the saved bytes).
    QList<QJsonObject> messages() const;

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
    QString m_failure;
};
