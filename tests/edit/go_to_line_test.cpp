#include "edit/go_to_line.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

// Catches lines counted from 0, a number past the end that goes nowhere or
// past the text, a line break's bytes taken for the line's start, a
// double-byte character whose second byte is mistaken for a break, and a
// caret left with a selection.
TEST(GoToLine, CaretToTheStartOfTheNumberedLine) {
    const std::string kSo = "\x83\x5c";  // ソ: its second byte is a backslash
    const std::string text = "ab\r\n" + kSo + "cd\r\n\r\nlast";
    struct Row {
        const char* name;
        std::size_t line;
        std::size_t offset;
    };
    const Row rows[] = {
        {"the first line", 1, 0}, {"zero is the first", 0, 0}, {"the second", 2, 4},
        {"an empty line", 3, 10}, {"the last", 4, 12},         {"past the last", 99, 12},
    };
    test::MemoryEditControl edit(text);
    EXPECT_EQ(textLineCount(edit), 4u);
    for (const Row& row : rows) {
        edit.setSelection(1, 3);
        goToLine(edit, row.line);
        EXPECT_EQ(edit.selStart(), row.offset) << row.name;
        EXPECT_EQ(edit.selLength(), 0u) << row.name;
    }
}

// Catches lines counted within one read window only.
TEST(GoToLine, CountsOverAWholeLargeText) {
    std::string text;
    for (int i = 0; i < 200'000; ++i)
        text += "line of text\r\n";
    test::MemoryEditControl edit(text);
    EXPECT_EQ(textLineCount(edit), 200'001u);
    goToLine(edit, 150'000);
    EXPECT_EQ(edit.selStart(), 149'999u * 14u);
}

}  // namespace
}  // namespace korvane
