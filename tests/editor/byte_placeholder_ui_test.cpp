// The editor's placeholders for single bytes that no font can draw, checked
// on the pixels the editor paints.
#include "editor/byte_placeholder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/rich_edit.h"

namespace korvane {
namespace {

QImage paintedViewport(QPlainTextEdit& edit) {
    return edit.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The place of the character at `unit` of the first line, in viewport pixels.
QRect cellOf(QPlainTextEdit& edit, int unit) {
    const QTextBlock block = edit.document()->firstBlock();
    const QTextLine line = block.layout()->lineForTextPosition(unit);
    const QPointF origin = edit.cursorRect(QTextCursor(block)).topLeft();
    const qreal top = edit.cursorRect(QTextCursor(block)).top();
    const qreal start = line.cursorToX(unit) - line.cursorToX(0) + origin.x();
    const qreal end = line.cursorToX(unit + 1) - line.cursorToX(0) + origin.x();
    return QRect(QPoint(qRound(start), qRound(top)),
                 QPoint(qRound(end) - 1, qRound(top + line.height()) - 1));
}

// Pixels of `image` with `cell` blanked out.
QImage without(QImage image, const QRect& cell) {
    QPainter painter(&image);
    painter.fillRect(cell, Qt::magenta);
    return image;
}

int inkIn(const QImage& image, const QRect& cell, QRgb paper) {
    int ink = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            ink += image.pixel(x, y) != paper ? 1 : 0;
    return ink;
}

struct Painted {
    QImage rich;   // the editor
    QImage plain;  // the toolkit's own drawing of the same text
    QRect cell;
};

// Paints "a", the bytes, "b" in the editor and in a bare QPlainTextEdit of
// the same font and size.
Painted paint(const std::string& bytes, std::string* textAfter = nullptr) {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    RichEdit rich;
    rich.setFont(font);
    rich.resize(300, 80);
    rich.setText("a" + bytes + "b");
    rich.show();
    QPlainTextEdit plain;
    plain.setFont(font);
    plain.setWordWrapMode(rich.wordWrapMode());
    plain.resize(300, 80);
    plain.setPlainText(rich.toPlainText());
    plain.show();
    QApplication::processEvents();
    Painted painted{paintedViewport(rich), paintedViewport(plain), cellOf(plain, 1)};
    if (textAfter != nullptr)
        *textAfter = rich.text();
    return painted;
}

// Catches a byte without a glyph drawn as the font has it (an empty box,
// nothing at all, or another character such as a fallback font's apple at
// U+F8FF's neighbours), a placeholder that is invisible or the same for
// every byte, and a painting that moves or changes anything else: the
// neighbours, the layout, the text.
TEST(BytePlaceholder, StandsInForBytesWithoutAGlyph) {
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"0x80", "\x80"},
        {"0xA0", "\xA0"},
        {"0xFD", "\xFD"},
        {"0xFE", "\xFE"},
        {"0xFF", "\xFF"},
        {"invalid lead byte 0x81", "\x81 "},
        {"invalid lead byte 0xFC", "\xFC "},
    };
    std::vector<QImage> placeholders;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text;
        const Painted p = paint(row.bytes, &text);
        EXPECT_EQ(text, "a" + row.bytes + "b");
        ASSERT_GE(p.cell.width(), 3);
        EXPECT_NE(p.rich.copy(p.cell), p.plain.copy(p.cell));
        EXPECT_GE(inkIn(p.rich, p.cell, p.rich.pixel(p.rich.width() - 1, p.rich.height() - 1)), 10);
        EXPECT_EQ(without(p.rich, p.cell), without(p.plain, p.cell));
        for (const QImage& other : placeholders)
            EXPECT_NE(p.rich.copy(p.cell), other);
        placeholders.push_back(p.rich.copy(p.cell));
    }
}

// Catches a placeholder painted over characters that have glyphs.
TEST(BytePlaceholder, LeavesOtherCharactersToTheFont) {
    for (const std::string bytes : {"x", "\x82\xa0", "\x8e\x9a", "\xb1", "\xf0\x40"}) {
        SCOPED_TRACE(bytes);
        const Painted p = paint(bytes);
        EXPECT_EQ(p.rich, p.plain);
    }
}

// Catches a wrong byte read off a character: each row's character must
// stand for that byte, and characters with glyphs for none.
TEST(BytePlaceholder, KnowsTheByteOfEachCharacter) {
    const struct {
        char32_t character;
        int byte;
    } rows[] = {
        {0x80, 0x80},   {0xF8F0, 0xA0}, {0xF8F1, 0xFD}, {0xF8F2, 0xFE},
        {0xF8F3, 0xFF}, {0xF780, 0x80}, {0xF781, 0x81}, {0xF7FF, 0xFF},
        {0x7F, -1},     {0x81, -1},     {0xF77F, -1},   {0xF800, -1},
        {0xF8EF, -1},   {0xF8F4, -1},   {0xE000, -1},   {0x3042, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(byteWithoutGlyph(row.character), row.byte)
            << std::hex << static_cast<std::uint32_t>(row.character);
}

}  // namespace
}  // namespace korvane
