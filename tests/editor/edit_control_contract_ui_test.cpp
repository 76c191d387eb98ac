// The EditControl contract, run against the in-memory control the core tests
// use and against the Qt editor alike: whatever passes against one must pass
// against the other, or the core tests prove nothing about the program.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/edit_control.h"
#include "editor/rich_edit.h"
#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

// Shift_JIS pieces: a double-byte character, one whose second byte is "A",
// and the full-width letters A and a.
const std::string kA = "\x82\xa0";           // あ
const std::string kKatakanaA = "\x83\x41";   // ア (second byte is "A")
const std::string kWideUpperA = "\x82\x60";  // Ａ
const std::string kWideLowerA = "\x82\x81";  // ａ

constexpr ColorValue kRed = 0x0000FF;

struct MemoryFactory {
    static std::unique_ptr<EditControl> make() {
        return std::make_unique<test::MemoryEditControl>();
    }
};

struct RichEditFactory {
    static std::unique_ptr<EditControl> make() {
        auto edit = std::make_unique<RichEdit>();
        edit->resize(1200, 400);  // wide enough that no test line wraps
        edit->show();
        return edit;
    }
};

template <typename Factory>
class EditControlContract : public ::testing::Test {
  protected:
    EditControlContract() : m_edit(Factory::make()) {
        m_edit->setChangeHandler([this] { ++m_events; });
    }
    EditControl& edit() { return *m_edit; }
    int events() const { return m_events; }

    // One letter per byte: '.' automatic colour, 'R' red, '?' anything else.
    std::string colors() {
        std::string out;
        for (std::size_t i = 0; i < m_edit->textLength(); ++i) {
            const CharColor c = m_edit->colorAt(i);
            out += c.automatic ? '.' : (c.color == kRed ? 'R' : '?');
        }
        return out;
    }

  private:
    std::unique_ptr<EditControl> m_edit;
    int m_events = 0;
};

using Controls = ::testing::Types<MemoryFactory, RichEditFactory>;
class ControlNames {
  public:
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, MemoryFactory> ? "Memory" : "RichEdit";
    }
};
TYPED_TEST_SUITE(EditControlContract, Controls, ControlNames);

// Catches offsets counted in characters or UTF-16 units instead of bytes,
// and a caret left inside a double-byte character or between CR and LF.
TYPED_TEST(EditControlContract, SelectionStartSnapsToCharacterStarts) {
    auto& e = this->edit();
    e.setText("a" + kA + "\r\nb");  // a, あ at 1-2, CR LF at 3-4, b at 5
    EXPECT_EQ(e.textLength(), 6u);
    struct Row {
        const char* name;
        std::size_t start;
        std::size_t expected;
    };
    const Row rows[] = {{"at a character", 1, 1},  {"inside the double-byte", 2, 1},
                        {"at the CR", 3, 3},       {"between CR and LF", 4, 3},
                        {"after the break", 5, 5}, {"at the end", 6, 6},
                        {"past the end", 100, 6}};
    for (const Row& row : rows) {
        e.setSelStart(row.start);
        EXPECT_EQ(e.selStart(), row.expected) << row.name;
        EXPECT_EQ(e.selLength(), 0u) << row.name;
    }
}

// Catches a selection length that ends inside a character or runs past the
// end, and selected text read in the wrong units.
TYPED_TEST(EditControlContract, SelectionLengthAndText) {
    auto& e = this->edit();
    e.setText("a" + kA + "\r\nb");
    struct Row {
        const char* name;
        std::size_t start;
        std::size_t length;
        std::string text;
    };
    const Row rows[] = {{"one double-byte", 1, 2, kA},
                        {"ends between CR and LF", 1, 3, kA},
                        {"over the line break", 1, 4, kA + "\r\n"},
                        {"past the end", 5, 50, "b"},
                        {"everything", 0, 6, "a" + kA + "\r\nb"}};
    for (const Row& row : rows) {
        e.setSelStart(row.start);
        e.setSelLength(row.length);
        EXPECT_EQ(e.selText(), row.text) << row.name;
        EXPECT_EQ(e.selLength(), row.text.size()) << row.name;
    }
    e.setSelection(5, 1);  // given backwards
    EXPECT_EQ(e.selStart(), 1u);
    EXPECT_EQ(e.selText(), kA + "\r\n");
}

// Catches reads that ignore the clamp at the end or split a line break.
TYPED_TEST(EditControlContract, TextRangeClamps) {
    auto& e = this->edit();
    e.setText("ab\r\ncd");
    EXPECT_EQ(e.textRange(1, 4), "b\r\n");
    EXPECT_EQ(e.textRange(4, 100), "cd");
    EXPECT_EQ(e.textRange(7, 9), "");
    EXPECT_EQ(e.text(), "ab\r\ncd");
}

// Catches line breaks that reach the text as lone CR or LF, a caret left
// before the inserted text, and a missing change event.
TYPED_TEST(EditControlContract, ReplaceSelectionMakesEveryLineBreakCrLf) {
    struct Row {
        const char* name;
        std::string inserted;
        std::string text;
        std::size_t caret;
    };
    const Row rows[] = {
        {"LF", "1\n2", "x1\r\n2y", 5},          {"CR", "1\r2", "x1\r\n2y", 5},
        {"CR LF", "1\r\n2", "x1\r\n2y", 5},     {"CR LF CR", "\r\n\r", "x\r\n\r\ny", 5},
        {"double-byte", kA, "x" + kA + "y", 3}, {"nothing", "", "xy", 1}};
    for (const Row& row : rows) {
        auto& e = this->edit();
        e.setText("xzy");
        e.setSelection(1, 2);
        const int before = this->events();
        e.replaceSelection(row.inserted);
        EXPECT_EQ(e.text(), row.text) << row.name;
        EXPECT_EQ(e.selStart(), row.caret) << row.name;
        EXPECT_EQ(e.selLength(), 0u) << row.name;
        EXPECT_EQ(this->events(), before + 1) << row.name;
    }
}

// Catches display lines counted wrongly around empty lines and the end, and
// line text that keeps its CR LF.
TYPED_TEST(EditControlContract, LineRequests) {
    auto& e = this->edit();
    e.setText("ab\r\n" + kA + "d\r\n\r\nef");  // lines at 0, 4, 9, 11
    EXPECT_EQ(e.lineCount(), 4u);
    struct Row {
        std::size_t offset;
        std::size_t line;
    };
    const Row fromChar[] = {{0, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 1}, {9, 2}, {11, 3}, {13, 3}};
    const std::size_t starts[] = {0, 4, 9, 11};
    for (const Row& row : fromChar) {
        EXPECT_EQ(e.lineFromChar(row.offset), row.line) << "offset " << row.offset;
        EXPECT_EQ(e.lineStartOf(row.offset), starts[row.line]) << "offset " << row.offset;
    }
    const std::string texts[] = {"ab", kA + "d", "", "ef"};
    for (std::size_t line = 0; line < 4; ++line) {
        EXPECT_EQ(e.lineIndex(line), starts[line]) << "line " << line;
        EXPECT_EQ(e.lineText(line), texts[line]) << "line " << line;
    }
    EXPECT_EQ(e.lineIndex(4), e.textLength());
    EXPECT_EQ(e.lineText(4), "");
}

// Catches matches inside double-byte characters, folding beyond the Latin
// letters, matches that stick out of the range, and an empty search that
// reports a hit (which would make find-up and replace-all loop).
TYPED_TEST(EditControlContract, FindInByteRange) {
    auto& e = this->edit();
    e.setText("abc ABC " + kKatakanaA + " " + kWideLowerA + " x\r\ny");
    // a b c _ A B C _ ア(8-9) _ ａ(11-12) _ x(14) CR LF y(17)
    struct Row {
        const char* name;
        std::string what;
        std::size_t min;
        std::size_t max;
        bool matchCase;
        std::optional<std::size_t> found;
    };
    const Row rows[] = {
        {"folds ASCII", "ABC", 0, 20, false, 0},
        {"match case", "ABC", 0, 20, true, 4},
        {"from min", "abc", 1, 20, false, 4},
        {"must end before max", "ABC", 1, 6, false, std::nullopt},
        {"never a second byte", "A", 5, 20, true, std::nullopt},
        {"a double-byte", kKatakanaA, 0, 20, true, 8},
        {"folds full-width", kWideUpperA, 0, 20, false, 11},
        {"full-width with match case", kWideUpperA, 0, 20, true, std::nullopt},
        {"line break as one", "x\r\ny", 0, 20, true, 14},
        {"half a line break", "\n", 0, 20, true, std::nullopt},
        {"min inside a character", kWideLowerA, 12, 20, false, std::nullopt},
        {"empty search", "", 0, 20, false, std::nullopt},
        {"empty range", "a", 3, 3, false, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(e.find(row.what, row.min, row.max, row.matchCase), row.found) << row.name;
}

// A file may hold a character in a form Windows does not write (the NEC and
// IBM duplicate codes): catches a search that misses it, in either direction
// of forms, with and without match case.
TYPED_TEST(EditControlContract, FindMatchesEitherFormOfADuplicate) {
    auto& e = this->edit();
    e.setText(
        "a\x87\x90"
        "b\xed\x40"
        "c\x81\xe0");
    // a ≒(NEC, 1-2) b 纊(NEC-selected, 4-5) c ≒(Windows, 7-8)
    struct Row {
        const char* name;
        std::string what;
        std::size_t min;
        bool matchCase;
        std::optional<std::size_t> found;
    };
    const Row rows[] = {
        {"Windows form finds the NEC form", "\x81\xe0", 0, true, 1},
        {"NEC form finds the Windows form", "\x87\x90", 2, false, 7},
        {"IBM form finds the NEC-selected form", "b\xfa\x5c", 0, true, 3},
        {"no match inside a character", "\x90", 0, true, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(e.find(row.what, row.min, e.textLength(), row.matchCase), row.found) << row.name;
}

// Catches colour lost or spread by edits: inserted text takes the colour of
// the byte before it, deleted text takes its colour away.
TYPED_TEST(EditControlContract, ColourFollowsInsertsAndDeletes) {
    auto& e = this->edit();
    e.setText("0123456789");
    e.setSelection(2, 5);
    e.colorSelection(CharColor::of(kRed));
    EXPECT_EQ(this->colors(), "..RRR.....");

    e.setSelStart(4);
    e.replaceSelection("xy");  // behind a red byte
    EXPECT_EQ(this->colors(), "..RRRRR.....");
    e.setSelStart(2);
    e.replaceSelection("z");  // behind an automatic byte
    EXPECT_EQ(this->colors(), "...RRRRR.....");
    e.setSelection(4, 7);
    e.replaceSelection("");  // the deleted colour goes with its bytes
    EXPECT_EQ(this->colors(), "...RR.....");
    e.setSelStart(5);
    e.replaceSelection("a\r\nb");  // a line break takes colour as well
    EXPECT_EQ(this->colors(), "...RRRRRR.....");
    EXPECT_EQ(e.text(), "01z24a\r\nb56789");
}

// Catches colour requests that count as edits: no change event, no undo
// step, no modified flag.
TYPED_TEST(EditControlContract, ColouringIsNoEdit) {
    auto& e = this->edit();
    e.setText("<b>x</b>");
    e.setModified(false);
    const int before = this->events();
    e.setSelection(0, 3);
    e.colorSelection(CharColor::of(kRed));
    e.setSelection(0, e.textLength());
    e.colorSelection(CharColor::autoColor());
    EXPECT_EQ(this->events(), before);
    EXPECT_FALSE(e.modified());
    EXPECT_FALSE(e.canUndo());
}

// Catches an event mask that silences nothing, or silences for good.
TYPED_TEST(EditControlContract, EventMaskSilencesChangeEvents) {
    auto& e = this->edit();
    e.setText("abc");
    EXPECT_EQ(this->events(), 0) << "setting the text is no edit";
    e.setEventMask(0);
    e.setSelStart(1);
    e.replaceSelection("x");
    e.undo();
    EXPECT_EQ(this->events(), 0);
    e.setEventMask(1);
    e.setSelStart(1);
    e.replaceSelection("y");
    EXPECT_EQ(this->events(), 1);
    e.undo();
    EXPECT_EQ(this->events(), 2);
}

// Catches a modified flag that undo clears (closing would lose text without
// the question) or that setting the text gets wrong.
TYPED_TEST(EditControlContract, ModifiedFlagIsSticky) {
    auto& e = this->edit();
    e.setText("abc");
    EXPECT_TRUE(e.modified()) << "non-empty text counts as unsaved";
    e.setText("");
    EXPECT_FALSE(e.modified()) << "an empty new document never asks";
    e.setText("abc");
    e.setModified(false);
    e.setSelStart(3);
    e.replaceSelection("d");
    EXPECT_TRUE(e.modified());
    e.undo();
    EXPECT_EQ(e.text(), "abc");
    EXPECT_TRUE(e.modified()) << "undo back to the saved text keeps the flag";
    e.setModified(false);
    EXPECT_FALSE(e.modified());
}

// Catches undo that merges separate replacements, selects the wrong text,
// or survives setText.
TYPED_TEST(EditControlContract, UndoTakesBackOneReplacement) {
    auto& e = this->edit();
    e.setText("abc");
    EXPECT_FALSE(e.canUndo());
    e.setSelection(1, 2);
    e.replaceSelection("XY");
    e.setSelStart(4);
    e.replaceSelection("\r\n");
    EXPECT_EQ(e.text(), "aXYc\r\n");
    e.undo();
    EXPECT_EQ(e.text(), "aXYc");
    EXPECT_TRUE(e.canUndo());
    e.undo();
    EXPECT_EQ(e.text(), "abc");
    EXPECT_EQ(e.selStart(), 1u);
    EXPECT_EQ(e.selText(), "b") << "undo selects what it brought back";
    EXPECT_FALSE(e.canUndo());
    e.replaceSelection("z");
    e.setText("new");
    EXPECT_FALSE(e.canUndo()) << "setting the text empties the undo history";
}

// Catches an edit block that holds the text back until its end (searches
// inside a replace-all would see stale text), or that undoes only its last
// edit, or that swallows the step before it.
TYPED_TEST(EditControlContract, EditBlockIsOneUndoStep) {
    auto& e = this->edit();
    e.setText("a-b-a");
    e.setSelection(1, 2);
    e.replaceSelection("+");  // a step of its own, before the block
    const int eventsBefore = this->events();
    e.beginEditBlock();
    e.setSelection(0, 1);
    e.replaceSelection("xy");
    EXPECT_EQ(e.text(), "xy+b-a") << "the edit is there at once";
    EXPECT_EQ(e.find("a", 0, e.textLength(), true), std::optional<std::size_t>(5));
    e.setSelection(5, 6);
    e.replaceSelection("xy");
    e.setSelection(3, 4);
    e.clearSelection();
    e.endEditBlock();
    EXPECT_EQ(e.text(), "xy+-xy");
    EXPECT_EQ(this->events() - eventsBefore, 3) << "one change event per edit";
    e.undo();
    EXPECT_EQ(e.text(), "a+b-a") << "one undo takes the whole block back";
    EXPECT_EQ(e.selStart(), 0u);
    EXPECT_EQ(e.selLength(), 5u) << "undo selects everything it brought back";
    e.undo();
    EXPECT_EQ(e.text(), "a-b-a") << "the step before the block stays its own";
    EXPECT_FALSE(e.canUndo());
    e.setSelection(0, 1);
    e.replaceSelection("q");
    e.setSelection(4, 5);
    e.replaceSelection("r");
    e.undo();
    EXPECT_EQ(e.text(), "q-b-a") << "after the block, steps are single again";
}

// Catches a block that does not show (redraw off, as replace-all runs it)
// losing edits on the way to the screen: line breaks inserted and removed,
// colours set between the edits, reads inside the block, and one undo for
// the block, an edit made before it stopped showing included.
TYPED_TEST(EditControlContract, EditBlockWithRedrawOff) {
    auto& e = this->edit();
    e.setText("ab\r\ncd ab");
    e.beginEditBlock();
    e.setSelection(5, 6);
    e.replaceSelection("D");  // shown: an edit like any other
    e.setRedraw(false);
    e.setSelection(0, 2);
    e.replaceSelection("X\r\nY");  // a line more
    EXPECT_EQ(e.textRange(0, 4), "X\r\nY");
    e.setSelection(4, 6);  // the old line break goes
    e.replaceSelection("");
    EXPECT_EQ(e.text(), "X\r\nYcD ab");
    e.setSelection(3, 4);
    e.colorSelection(CharColor::of(kRed));
    EXPECT_EQ(e.find("ab", 0, e.textLength(), true), std::optional<std::size_t>(7));
    e.setSelection(7, 9);
    e.replaceSelection("<ab>");
    EXPECT_EQ(e.selStart(), 11u);
    e.endEditBlock();
    e.setRedraw(true);
    EXPECT_EQ(e.text(), "X\r\nYcD <ab>");
    EXPECT_EQ(this->colors(), "...R.......");
    EXPECT_EQ(e.selStart(), 11u);
    EXPECT_EQ(e.selLength(), 0u);
    e.undo();
    EXPECT_EQ(e.text(), "ab\r\ncd ab");
    EXPECT_FALSE(e.canUndo());
}

// Catches clipboard requests mixed up: delete must not touch the clipboard,
// cut and paste must move the bytes as they are.
TYPED_TEST(EditControlContract, ClipboardRequests) {
    auto& e = this->edit();
    e.setText("ab" + kA + "\r\ncd");
    e.setSelection(1, 6);
    e.cut();
    EXPECT_EQ(e.text(), "acd");
    EXPECT_TRUE(e.canPaste());
    e.setSelection(0, 1);
    e.clearSelection();
    EXPECT_EQ(e.text(), "cd");
    e.setSelStart(2);
    e.paste();
    EXPECT_EQ(e.text(), "cdb" + kA + "\r\n");
    e.setSelection(0, 2);
    e.copy();
    e.setSelStart(e.textLength());
    e.paste();
    EXPECT_EQ(e.text(), "cdb" + kA + "\r\ncd");
}

}  // namespace
}  // namespace korvane
