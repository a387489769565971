#include "IniFile.h"

#include "Win1252.h"

#include <QFile>
#include <QStringDecoder>

IniFile::IniFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    // Files written by older Windows editors are WIN1252; UTF-8 decodes cleanly or not at all.
    m_text = utf8.hasError() ? win1252::decode(bytes) : asUtf8;
    if (m_text.startsWith(QChar(0xFEFF)))
        m_text.remove(0, 1);
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    bool inSection = false;
    const QStringList lines = m_text.split(QLatin1Char('\n'));
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const int end = int(line.indexOf(QLatin1Char(']')));
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';')))
            continue;
        const int equals = int(line.indexOf(QLatin1Char('=')));
        if (equals <= 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        for (const QChar quote : {QLatin1Char('"'), QLatin1Char('\'')}) {
            if (value.size() >= 2 && value.startsWith(quote) && value.endsWith(quote)) {
                value = value.mid(1, value.size() - 2);
                break;
            }
        }
        return value;
    }
    return defaultValue;
}
