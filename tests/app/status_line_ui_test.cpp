#include "app/status_line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <memory>
#include <string>

#include "editor/rich_edit.h"

namespace korvane {
namespace {

struct Shown {
    Shown() {
        window.resize(600, 300);
        editor = new RichEdit(&window);
        editor->setGeometry(0, 0, 600, 250);
        status = new StatusLine(*editor, &window);
        status->setGeometry(0, 260, 600, 20);
        window.show();
        QApplication::processEvents();
    }
    std::string shown() {
        QApplication::processEvents();
        return status->text().toStdString();
    }
    QWidget window;
    RichEdit* editor = nullptr;
    StatusLine* status = nullptr;
};

std::string longLine(std::size_t length) {
    std::string line;
    while (line.size() < length)
        line += "<P>abc ";
    line.resize(length);
    return line;
}

// Catches lines counted as the editor's pieces or display lines, columns
// counted in bytes or from the piece, a tab or a double-byte character
// counted other than one, a selection's line break counted as two or a
// soft break as one.
TEST(StatusLine, LineAndColumnAsTheUserCountsThem) {
    const std::string kNihon = "\x93\xfa\x96\x7b";  // 日本
    const std::string lng = longLine(30'000);
    struct Row {
        const char* name;
        std::string text;
        std::size_t from, to;  // bytes; the caret at `to`
        std::string expected;
    };
    const Row rows[] = {
        {"empty", "", 0, 0, "1 行, 1 桁    Shift_JIS  CRLF"},
        {"second line, after a tab and a double-byte character", "ab\r\n\t" + kNihon + "x", 9, 9,
         "2 行, 4 桁    Shift_JIS  CRLF"},
        {"deep in a long line", lng, 20'000, 20'000, "1 行, 20001 桁    Shift_JIS  CRLF"},
        {"the line after a long one", lng + "\r\nzz", 30'003, 30'003,
         "2 行, 2 桁    Shift_JIS  CRLF"},
        {"a selection over a line break", "ab\r\n" + kNihon, 1, 8,
         "2 行, 3 桁 (4 文字選択)    Shift_JIS  CRLF"},
        {"a selection across pieces", lng, 100, 25'100,
         "1 行, 25101 桁 (25000 文字選択)    Shift_JIS  CRLF"},
    };
    for (const Row& row : rows) {
        Shown s;
        s.editor->setText(row.text);
        s.editor->setSelection(row.from, row.to);
        EXPECT_EQ(s.shown(), row.expected) << row.name;
    }
}

// Catches a line worked out per caret move rather than once the moves of a
// turn are through (or not at all), a format slot that cannot be filled,
// and a search's word that stays after the caret moved on or goes before.
TEST(StatusLine, FollowsTheCaretOncePerTurnAndCarriesItsWords) {
    Shown s;
    s.editor->setText("abc\r\ndef");
    EXPECT_EQ(s.shown(), "1 行, 1 桁    Shift_JIS  CRLF");
    s.editor->setSelStart(6);
    s.editor->setSelStart(7);
    EXPECT_EQ(s.status->text().toStdString(), "1 行, 1 桁    Shift_JIS  CRLF")
        << "nothing is worked out inside the turn";
    EXPECT_EQ(s.shown(), "2 行, 3 桁    Shift_JIS  CRLF");
    s.status->setDocumentFormat(QStringLiteral("UTF-8  LF"));
    EXPECT_EQ(s.shown(), "2 行, 3 桁    UTF-8  LF");
    s.status->showMessage(QStringLiteral("3 個置換しました"));
    EXPECT_EQ(s.shown(), "3 個置換しました    2 行, 3 桁    UTF-8  LF");
    s.editor->setSelStart(1);
    EXPECT_EQ(s.shown(), "1 行, 2 桁    UTF-8  LF");
}

// Catches the right-aligned text running into the window's right edge: the
// status line is the last widget of the bottom row, and the row leaves no
// margin of its own there.
TEST(StatusLine, TextKeepsClearOfTheRightEdge) {
    Shown s;
    s.editor->setText("abc");
    s.shown();
    const QImage image = s.status->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QRgb background = image.pixel(image.width() - 1, 0);
    int inked = -1;  // the rightmost column with any of the text's pixels
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background)
                inked = x;
        }
    }
    ASSERT_GE(inked, 0) << "the text is painted";
    EXPECT_LE(inked, image.width() - 4) << "width " << image.width();
}

}  // namespace
}  // namespace korvane
