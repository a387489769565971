#include "MailMessage.h"

#include <QUuid>

namespace mailheaders {

namespace {

bool isPlainAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// Pieces of at most 45 bytes (60 in base64), never splitting a character, so
// each encoded word stays within the 75 characters a word may have.
QList<QByteArray> utf8Pieces(const QString &text)
{
    QList<QByteArray> pieces;
    QByteArray piece;
    for (int i = 0; i < text.size(); ++i) {
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        i += length - 1;
        if (piece.size() + character.size() > 45) {
            pieces << piece;
            piece.clear();
        }
        piece += character;
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

} // namespace

bool isValidAddress(const QString &address)
{
    const int at = address.indexOf(QLatin1Char('@'));
    if (at <= 0 || at != address.lastIndexOf(QLatin1Char('@')) || at == address.size() - 1)
        return false;
    for (const QChar c : address) {
        if (c.isSpace() || c.unicode() < 0x20 || QStringLiteral("<>,;\"()[]\\").contains(c))
            return false;
    }
    return true;
}

QByteArray encodeText(const QString &text)
{
    const QString line = oneLine(text);
    if (isPlainAscii(line))
        return line.toLatin1();
    QByteArray encoded;
    for (const QByteArray &piece : utf8Pieces(line)) {
        if (!encoded.isEmpty())
            encoded += "\r\n ";
        encoded += "=?UTF-8?B?" + piece.toBase64() + "?=";
    }
    return encoded;
}

QByteArray mailbox(const QString &name, const QString &address)
{
    const QString shown = oneLine(name).trimmed();
    if (shown.isEmpty())
        return address.toUtf8();
    QByteArray phrase;
    if (isPlainAscii(shown)) {
        QString quoted = shown;
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        phrase = '"' + quoted.toLatin1() + '"';
    } else {
        phrase = encodeText(shown);
    }
    return phrase + " <" + address.toUtf8() + '>';
}

QByteArray date(const QDateTime &when)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate day = when.date();
    const int offset = when.offsetFromUtc() / 60;
    const QByteArray zone = QByteArray(offset < 0 ? "-" : "+")
                          + QByteArray::number(qAbs(offset) / 60).rightJustified(2, '0')
                          + QByteArray::number(qAbs(offset) % 60).rightJustified(2, '0');
    return QByteArray(days[day.dayOfWeek() - 1]) + ", " + QByteArray::number(day.day()).rightJustified(2, '0') + ' '
         + months[day.month() - 1] + ' ' + QByteArray::number(day.year()) + ' '
         + when.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + zone;
}

QByteArray messageId(const QString &senderAddress)
{
    QString domain = senderAddress.mid(senderAddress.lastIndexOf(QLatin1Char('@')) + 1);
    if (domain.isEmpty() || !isPlainAscii(domain))
        domain = QStringLiteral("quindelo.invalid");
    return '<' + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' + domain.toLatin1() + '>';
}

} // namespace mailheaders
