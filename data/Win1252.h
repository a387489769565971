#pragma once

#include <QByteArray>
#include <QString>

// The connection character set is WIN1252; texts are converted here, both ways.
namespace win1252 {

// Throws DatabaseError naming `what` when a character has no WIN1252 form.
QByteArray encode(const QString &text, const QString &what);
QString decode(const QByteArray &bytes);
QString decode(const char *data, int length);

} // namespace win1252
