#include "edit/editor_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

using test::MemoryEditControl;

struct EnterCase {
    const char* name;
    std::string text;
    std::size_t wrap;  // display line width in bytes, 0 for none
    std::size_t from, to;
    std::string result;
};

class EnterKey : public ::testing::TestWithParam<EnterCase> {};

// Catches indentation taken from the wrong line or past the caret, full-width
// spaces taken for blanks, and a key that is not swallowed.
TEST_P(EnterKey, BreaksTheLineWithItsIndentation) {
    const EnterCase& c = GetParam();
    MemoryEditControl edit(c.text);
    edit.setWrapWidth(c.wrap);
    edit.setSelection(c.from, c.to);
    EXPECT_TRUE(reMainOnpress(edit, kKeyEnter));
    EXPECT_EQ(edit.text(), c.result);
    EXPECT_EQ(edit.selStart(), c.from + (c.result.size() - c.text.size() + (c.to - c.from)));
    EXPECT_EQ(edit.selLength(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnterKey,
    ::testing::Values(EnterCase{"ColumnZero", "  a", 0, 0, 0, "\r\n  a"},
                      EnterCase{"EmptyLine", "x\r\n\r\ny", 0, 3, 3, "x\r\n\r\n\r\ny"},
                      EnterCase{"BehindText", "  \tabc", 0, 6, 6, "  \tabc\r\n  \t"},
                      EnterCase{"ColumnOne", "  \tabc", 0, 1, 1, " \r\n  \tabc"},
                      EnterCase{"FullWidthSpaceIsNoBlank",
                                "\x81\x40"
                                "ab",
                                0, 4, 4,
                                "\x81\x40"
                                "ab\r\n"},
                      EnterCase{"SecondLine", "a\r\n\tb", 0, 5, 5, "a\r\n\tb\r\n\t"},
                      EnterCase{"ReplacesSelection", " abc", 0, 2, 4, " a\r\n "},
                      // Wrapped at 4 bytes: "abcd" / "  xy"; the shown line's blanks count.
                      EnterCase{"WrappedLineOwnBlanks", "abcd  xy", 4, 8, 8, "abcd  xy\r\n  "},
                      EnterCase{"WrappedLineNoBlanks", "  abcdef", 4, 8, 8, "  abcdef\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

// Catches a handler that eats other typed characters.
TEST(EnterKeyOther, OtherCharactersPass) {
    MemoryEditControl edit(" a");
    edit.setSelStart(2);
    EXPECT_FALSE(reMainOnpress(edit, 'a'));
    EXPECT_FALSE(reMainOnpress(edit, 10));
    EXPECT_EQ(edit.text(), " a");
}

struct ArrowCase {
    const char* name;
    std::size_t from, to;
    int key;
    bool swallowed;
};

class ArrowKey : public ::testing::TestWithParam<ArrowCase> {};

// Catches arrows swallowed inside the text or with a selection (which they
// must collapse), and ends that let them through.
TEST_P(ArrowKey, SwallowedOnlyAtTheEnds) {
    MemoryEditControl edit("ab");
    edit.setSelection(GetParam().from, GetParam().to);
    EXPECT_EQ(reMainKeyDown(edit, GetParam().key), GetParam().swallowed);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArrowKey,
                         ::testing::Values(ArrowCase{"LeftAtStart", 0, 0, kVkLeft, true},
                                           ArrowCase{"LeftAtStartSelected", 0, 1, kVkLeft, false},
                                           ArrowCase{"LeftInside", 1, 1, kVkLeft, false},
                                           ArrowCase{"RightAtEnd", 2, 2, kVkRight, true},
                                           ArrowCase{"RightAtEndSelected", 1, 2, kVkRight, false},
                                           ArrowCase{"RightInside", 1, 1, kVkRight, false},
                                           ArrowCase{"OtherKeyAtStart", 0, 0, 0x26, false}),
                         [](const auto& row) { return std::string(row.param.name); });

// Catches an empty text where start and end coincide.
TEST(ArrowKeyEmpty, BothSwallowed) {
    MemoryEditControl edit;
    EXPECT_TRUE(reMainKeyDown(edit, kVkLeft));
    EXPECT_TRUE(reMainKeyDown(edit, kVkRight));
}

}  // namespace
}  // namespace korvane
