// The in-memory edit control stands in for the editor in every test of the
// editing code, so it is held to the same contract here.
#include "tests/support/memory_edit_control.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

using test::MemoryEditControl;

const CharColor kRed = CharColor::of(0x0000FF);

// Catches colours that do not travel with the text they belong to.
TEST(MemoryEditControl, ColoursFollowInsertAndDelete) {
    MemoryEditControl edit("abcd");
    edit.setSelection(1, 2);
    edit.colorSelection(kRed);
    edit.setSelStart(2);
    edit.replaceSelection("xy");  // behind the red "b": red too
    EXPECT_EQ(edit.text(), "abxycd");
    EXPECT_EQ(edit.colorAt(3), kRed);
    EXPECT_EQ(edit.colorAt(4), CharColor::autoColor());
    edit.setSelection(0, 4);
    edit.replaceSelection("");
    EXPECT_EQ(edit.colorAt(0), CharColor::autoColor());
    edit.undo();
    EXPECT_EQ(edit.text(), "abxycd");
    EXPECT_EQ(edit.colorAt(1), kRed);
    EXPECT_EQ(edit.selLength(), 4u);
}

// Catches lone CR or LF reaching the text, and positions inside a CR LF or a
// double-byte character.
TEST(MemoryEditControl, LineBreaksAndCharacterBoundaries) {
    MemoryEditControl edit("a\nb");
    EXPECT_EQ(edit.text(), "a\r\nb");
    edit.setSelStart(4);
    edit.replaceSelection("\rc\r\nd\n");
    EXPECT_EQ(edit.text(), "a\r\nb\r\nc\r\nd\r\n");
    edit.setSelStart(2);
    EXPECT_EQ(edit.selStart(), 1u);

    edit.setText("x\x82\xa0y");
    edit.setSelection(2, 3);
    EXPECT_EQ(edit.selStart(), 1u);
    EXPECT_EQ(edit.selLength(), 2u);
}

// Catches a modified flag that undo or colour clears, and setText's rule.
TEST(MemoryEditControl, StickyModifiedFlag) {
    MemoryEditControl edit("x");
    EXPECT_TRUE(edit.modified());
    edit.setText("");
    EXPECT_FALSE(edit.modified());
    edit.replaceSelection("a");
    edit.undo();
    EXPECT_TRUE(edit.modified());
    edit.setModified(false);
    edit.colorSelection(kRed);
    EXPECT_FALSE(edit.modified());
}

struct FindCase {
    const char* name;
    std::string text;
    std::string what;
    bool matchCase;
    std::optional<std::size_t> found;
};

class MemoryFind : public ::testing::TestWithParam<FindCase> {};

// Catches matches on a trail byte, folding of characters that must not fold,
// and no folding of the Latin letters.
TEST_P(MemoryFind, FoldsLatinLettersAtCharacterStarts) {
    const FindCase& c = GetParam();
    MemoryEditControl edit(c.text);
    EXPECT_EQ(edit.find(c.what, 0, edit.textLength(), c.matchCase), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryFind,
    ::testing::Values(FindCase{"AsciiFolds", "xABc", "abC", false, 1},
                      FindCase{"AsciiMatchCase", "xABc abc", "abc", true, 5},
                      FindCase{"FullWidthFolds", "\x82\x60\x82\x81", "\x82\x81\x82\x81", false, 0},
                      FindCase{"FullWidthMatchCase", "\x82\x60", "\x82\x81", true, std::nullopt},
                      // 0x83 0x41 is one character: its "A" is not text.
                      FindCase{"NotOnTrailByte", "\x83\x41", "A", false, std::nullopt},
                      FindCase{"KanaDoesNotFold", "\x83\x41", "\x83\x62", false, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// Catches display lines that split a double-byte character when wrapping.
TEST(MemoryEditControl, WrappedDisplayLines) {
    MemoryEditControl edit(
        "ab\x82\xa0"
        "c\r\nd");
    edit.setWrapWidth(3);
    ASSERT_EQ(edit.lineCount(), 3u);
    EXPECT_EQ(edit.lineText(0), "ab");
    EXPECT_EQ(edit.lineText(1),
              "\x82\xa0"
              "c");
    EXPECT_EQ(edit.lineIndex(2), 7u);
    EXPECT_EQ(edit.lineFromChar(2), 1u);
    EXPECT_EQ(edit.lineFromChar(8), 2u);
}

}  // namespace
}  // namespace korvane
