#pragma once

#include "ReportLayout.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>

// A layout font measured and drawn in units, the same on every device. Text
// is set glyph after glyph at the font's own advances, without kerning, as
// the desktop's plain text output does; lines of Latin text skip shaping
// altogether, which is what makes long listings quick.
class FontFace
{
public:
    // Faces made on first use, a set for each thread: a face is not shared
    // between threads (a report may be prepared on one while drawn on another).
    static const FontFace &of(const FontDesc &desc);

    explicit FontFace(const FontDesc &desc);

    double ascent() const { return m_ascent; }
    double height() const { return m_ascent + m_descent; }
    double advance(const QString &text) const;
    // The glyphs of a line of text at its baseline origin; false when the
    // text needs shaping and must be drawn through the font instead.
    bool glyphRun(const QString &text, QGlyphRun *run) const;
    // For text that needs shaping, on a device of the given resolution.
    QFont font(double deviceDpi) const;

private:
    bool simple(const QString &text) const;

    FontDesc m_desc;
    QRawFont m_raw;
    double m_ascent = 0;
    double m_descent = 0;
    mutable QHash<char16_t, double> m_advances;
};
