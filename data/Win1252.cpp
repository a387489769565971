#include "Win1252.h"

#include "DatabaseError.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace win1252 {

static QString firstUnencodable(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const int width = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString character = text.mid(i, width);
        QStringEncoder encoder("windows-1252");
        const QByteArray bytes = encoder.encode(character);
        if (encoder.hasError())
            return character;
        i += width - 1;
    }
    return {};
}

QByteArray encode(const QString &text, const QString &what)
{
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        throw DatabaseError(QStringLiteral("O campo %1 contém um caractere que não pode ser gravado: \"%2\".")
                                .arg(what, firstUnencodable(text)));
    }
    return bytes;
}

QString decode(const char *data, int length)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(QByteArrayView(data, length));
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), int(bytes.size()));
}

} // namespace win1252
