#pragma once

#include "common/TempDatabase.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Stores the single issuer row as the registry does (post and commit-retaining).
void saveIssuer(DataModule &dm, const QString &name, const QString &document, const QString &city);

// Writes a small real picture file of the given format ("jpg", "png", "bmp")
// into folder and returns its path.
QString writePicture(const QString &folder, const QByteArray &format, const QColor &color, int width = 24, int height = 16);

// EMITENTE.FOTO_MARC of the first issuer row as isql-fb reads it from the
// database file, a process of its own; nullopt for NULL. The caller closes
// its own connection first (the embedded engine holds the file per process).
std::optional<QByteArray> logoBytesViaIsql(const QString &databasePath);
