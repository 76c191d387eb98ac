#include "editor/line_number_gutter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QWidget>

#include <string>
#include <vector>

#include "editor/rich_edit.h"
#include "tests/support/wrapping_text.h"

namespace korvane {
namespace {

struct Shown {
    Shown() {
        editor.resize(400, 300);
        gutter = new LineNumberGutter(editor);
        gutter->setShown(true);
        editor.show();
        QApplication::processEvents();
    }
    std::vector<std::size_t> lines() {
        QApplication::processEvents();
        std::vector<std::size_t> out;
        for (const auto& n : gutter->numbersIn(gutter->rect()))
            out.push_back(n.line);
        return out;
    }
    RichEdit editor;
    LineNumberGutter* gutter = nullptr;
};

using test::words;

// Catches numbers given to display lines (a wrapped line counted twice),
// to the pieces of a long line, or counted from 0; numbers that do not
// follow an edit above them or a scroll.
TEST(LineNumberGutter, NumbersTheTextsLinesInView) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::size_t> expected;
    };
    const Row rows[] = {
        {"short lines", "a\r\nb\r\nc", {1, 2, 3}},
        {"a wrapped line is one", "a\r\n" + words(300) + "\r\nc", {1, 2, 3}},
        {"a long line in pieces is one", words(20'000) + "\r\nz", {1}},
    };
    for (const Row& row : rows) {
        Shown s;
        s.editor.setText(row.text);
        const std::vector<std::size_t> shown = s.lines();
        ASSERT_FALSE(shown.empty()) << row.name;
        EXPECT_EQ(std::vector<std::size_t>(
                      shown.begin(), shown.begin() + std::min(shown.size(), row.expected.size())),
                  row.expected)
            << row.name;
        for (std::size_t i = 1; i < shown.size(); ++i)
            EXPECT_EQ(shown[i], shown[i - 1] + 1) << row.name;
    }
}

TEST(LineNumberGutter, FollowsEditsScrollingAndTheFont) {
    Shown s;
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "line\r\n";
    s.editor.setText(text);
    EXPECT_EQ(s.lines().front(), 1u);
    s.editor.setSelStart(0);
    s.editor.replaceSelection("new\r\nnew\r\n");
    EXPECT_EQ(s.lines().size() > 2, true);
    s.editor.verticalScrollBar()->setValue(200);
    const std::size_t first = s.lines().front();
    EXPECT_GT(first, 150u) << "the numbers follow the scroll";
    // The line at the top is the one the editor shows there.
    EXPECT_EQ(first, static_cast<std::size_t>(
                         s.editor.cursorForPosition(QPoint(0, 0)).block().blockNumber()) +
                         1);
    const int narrow = s.gutter->width();
    QFont big = s.editor.font();
    big.setPointSize(big.pointSize() * 3);
    s.editor.setFont(big);
    QApplication::processEvents();
    EXPECT_GT(s.gutter->width(), narrow) << "the gutter follows the editor's font";
    s.gutter->setShown(false);
    EXPECT_FALSE(s.gutter->isVisible());
    EXPECT_EQ(s.editor.viewport()->geometry().left(), s.editor.contentsRect().left());
}

}  // namespace
}  // namespace korvane
