// How the editor shows a single byte that no font can draw.
//
// Windows decodes the bytes 0x80, 0xA0, 0xFD, 0xFE and 0xFF to U+0080 and
// U+F8F0..U+F8F3, and the codec decodes a byte that is not valid Shift_JIS to
// its stand-in U+F780..U+F7FF. Fonts have no glyph for these: the toolkit
// draws an empty box, nothing at all, or whatever a fallback font keeps at
// that private code point (an apple, a logo), which reads as another
// character. The editor paints a placeholder over them instead: a thin box
// with the byte's value in hex. Only the painting changes; the text, its
// bytes and its colours stay as they are.
#pragma once

#include "base/shift_jis.h"

class QColor;
class QPainter;
class QRect;

namespace korvane {

// The byte a character without a glyph stands for, or -1 for any other
// character.
constexpr int byteWithoutGlyph(char32_t c) {
    if (c == 0x80)
        return 0x80;
    switch (c) {
        case 0xF8F0:
            return 0xA0;
        case 0xF8F1:
            return 0xFD;
        case 0xF8F2:
            return 0xFE;
        case 0xF8F3:
            return 0xFF;
        default:
            break;
    }
    if (isInvalidByteStandIn(c))
        return static_cast<int>(c - kInvalidByteBase);
    return -1;
}

// Paints the placeholder of `byte` over `cell`, the character's whole place
// on its line: the cell is filled with `paper`, then the box and the two hex
// digits are drawn in a colour between `ink` and `paper`, so the
// placeholder stands apart from the text around it. A caret at the cell's
// left edge is the caller's to draw again.
void drawBytePlaceholder(QPainter& painter, const QRect& cell, int byte, const QColor& ink,
                         const QColor& paper);

}  // namespace korvane
