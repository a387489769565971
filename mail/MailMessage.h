#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One message with a text and, optionally, one attached file.
struct MailMessage
{
    QString fromAddress;
    QString fromName;
    QString to;
    QString subject;
    QString text; // sent as UTF-8 text/plain
    QString attachmentName;
    QByteArray attachment;
    QByteArray attachmentType = QByteArrayLiteral("application/pdf");
};

namespace mailheaders {

// Something before and after one "@", no blanks, nothing that would break a header.
bool isValidAddress(const QString &address);

// A header value as 7-bit text: ASCII text as it is, anything else as
// RFC 2047 encoded words, folded onto continuation lines. Line breaks become blanks.
QByteArray encodeText(const QString &text);
// "Name <address>", the name quoted or encoded as needed; the address alone without a name.
QByteArray mailbox(const QString &name, const QString &address);
// "Tue, 05 Mar 2024 10:00:00 -0300", in English whatever the locale.
QByteArray date(const QDateTime &when);
// "<unique@domain-of-the-sender>".
QByteArray messageId(const QString &senderAddress);

} // namespace mailheaders
