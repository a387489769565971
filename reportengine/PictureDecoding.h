#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The pictures the program stores: the bytes of a BMP, JPEG or PNG file, told
// apart by their signature, never by a guess.
namespace picturedecoding {

// Decoded at no more than `bound`: a larger picture is decoded reduced, so one
// of any number of pixels fits within Qt's allocation limit. `mode` keeps its
// proportions or not; an invalid bound decodes it whole. Null for bytes that
// are none of the three or that their decoder refuses, a PNG cut short among them.
QImage decode(const QByteArray &bytes, const QSize &bound, Qt::AspectRatioMode mode = Qt::KeepAspectRatio);

// True when the bytes decode as a BMP, JPEG or PNG picture.
bool isPicture(const QByteArray &bytes);

} // namespace picturedecoding
