#pragma once

#include <QString>

// Reads one value of an INI file the way the desktop's INI functions do:
// sections and keys without regard to case, values exactly as written
// (backslashes are ordinary characters), UTF-8 or WIN1252 text.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;

private:
    QString m_text;
};
