#include "Win1252.h"

#include "DatabaseError.h"

namespace win1252 {

namespace {

// 0x80..0x9F, the only bytes whose characters differ from Latin-1. The five
// bytes WIN1252 leaves undefined keep their own code point, so they round-trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when WIN1252 has none.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString characterAt(const QString &text, qsizetype i)
{
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    return text.mid(i, pair ? 2 : 1);
}

qsizetype unencodableAt(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (byteFor(text.at(i).unicode()) < 0)
            return i;
    }
    return -1;
}

QByteArray encode(const QString &text, const QString &what)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteFor(text.at(i).unicode());
        if (byte < 0)
            throw DatabaseError::aboutField(
                QStringLiteral("O campo %1 contém um caractere que não pode ser gravado: ") + characterAt(text, i), what);
        out[i] = char(byte);
    }
    return bytes;
}

QString decode(const char *data, int length)
{
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    for (int i = 0; i < length; ++i) {
        const unsigned char byte = in[i];
        out[i] = QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), int(bytes.size()));
}

} // namespace win1252
