#pragma once

#include <QByteArray>
#include <QString>

// The connection character set is WIN1252; texts are converted here, both ways.
namespace win1252 {

// Throws DatabaseError about the field `what` when a character has no WIN1252 form.
QByteArray encode(const QString &text, const QString &what);
// Where the first character without a WIN1252 form starts; -1 when every one has one.
qsizetype unencodableAt(const QString &text);
// The character (one or two UTF-16 units) that starts at i.
QString characterAt(const QString &text, qsizetype i);
QString decode(const QByteArray &bytes);
QString decode(const char *data, int length);

} // namespace win1252
