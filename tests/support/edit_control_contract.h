// The EditControl contract as one suite of tests that every control runs:
// whatever passes against the in-memory control the core tests use must pass
// against the Qt editor too, or the core tests prove nothing about the
// program. A control joins with one line in a test file of its own:
//
//   struct MyFactory {
//       static std::unique_ptr<EditControl> make();  // a fresh, empty control
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Mine, EditControlContract, MyFactory);
//
// A widget control must come from make() shown and wide enough that no line
// of these tests wraps.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/edit_control.h"

namespace korvane::test {

namespace contract {

// Shift_JIS pieces: a double-byte character, one whose second byte is "A",
// and the full-width letters A and a.
inline const std::string kA = "\x82\xa0";           // あ
inline const std::string kKatakanaA = "\x83\x41";   // ア (second byte is "A")
inline const std::string kWideUpperA = "\x82\x60";  // Ａ
inline const std::string kWideLowerA = "\x82\x81";  // ａ

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kBlue = 0xFF0000;

// One letter per byte: '.' automatic colour, 'R' red, 'B' blue, '?' any other.
inline std::string colourMap(const EditControl& edit) {
    std::string out;
    for (std::size_t i = 0; i < edit.textLength(); ++i) {
        const CharColor c = edit.colorAt(i);
        out += c.automatic ? '.' : c.color == kRed ? 'R' : c.color == kBlue ? 'B' : '?';
    }
    return out;
}

// A line far longer than a display piece of the Qt editor, so that it is
// held cut into pieces there.
inline std::string longLine() {
    std::string line;
    while (line.size() < 30'000)
        line += "<P>\x93\xfa\x96\x7b abc";  // <P>日本 abc
    return line;
}

// Everything of a control that a new text sets and that a dropped load must
// leave as it was.
struct ControlState {
    std::string text;
    std::string colours;
    std::size_t selStart = 0;
    std::size_t selLength = 0;
    bool modified = false;
    bool canUndo = false;
    std::vector<std::size_t> lineStarts;
    friend bool operator==(const ControlState&, const ControlState&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ControlState& s) {
        out << "{text \"";
        for (const char c : s.text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F) {
                out << c;
            } else {
                const char* digits = "0123456789abcdef";
                out << "\\x" << digits[byte >> 4] << digits[byte & 0xF];
            }
        }
        out << "\", colours " << s.colours << ", selection " << s.selStart << "+" << s.selLength
            << ", modified " << s.modified << ", canUndo " << s.canUndo << ", line starts";
        for (std::size_t start : s.lineStarts)
            out << ' ' << start;
        return out << '}';
    }
};

inline ControlState stateOf(const EditControl& edit) {
    ControlState s{edit.text(),
                   colourMap(edit),
                   edit.selStart(),
                   edit.selLength(),
                   edit.modified(),
                   edit.canUndo(),
                   {}};
    for (std::size_t line = 0; line < edit.lineCount(); ++line)
        s.lineStarts.push_back(edit.lineIndex(line));
    return s;
}

// Text on two lines with a colour, an undo step and a selection, all of
// which a new text replaces.
inline void giveHistory(EditControl& edit, bool modified) {
    edit.setText("<b>a</b>\r\n" + kA + "bc");  // あ at 10-11
    edit.setSelection(0, 3);
    edit.colorSelection(CharColor::of(kRed));
    edit.setSelection(12, 13);
    edit.replaceSelection("xy");
    edit.setModified(modified);
    edit.setSelection(1, 2);
}

}  // namespace contract

template <typename Factory>
class EditControlContract : public ::testing::Test {
  protected:
    EditControlContract() : m_edit(Factory::make()) {
        m_edit->setChangeHandler([this] { ++m_events; });
    }
    EditControl& edit() { return *m_edit; }
    int events() const { return m_events; }
    // A second control of the same kind, to compare two ways of one request.
    static std::unique_ptr<EditControl> another() { return Factory::make(); }

  private:
    std::unique_ptr<EditControl> m_edit;
    int m_events = 0;
};

TYPED_TEST_SUITE_P(EditControlContract);

// Catches offsets counted in characters or UTF-16 units instead of bytes,
// and a caret left inside a double-byte character or between CR and LF.
TYPED_TEST_P(EditControlContract, SelectionStartSnapsToCharacterStarts) {
    using namespace contract;
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
TYPED_TEST_P(EditControlContract, SelectionLengthAndText) {
    using namespace contract;
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
TYPED_TEST_P(EditControlContract, TextRangeClamps) {
    auto& e = this->edit();
    e.setText("ab\r\ncd");
    EXPECT_EQ(e.textRange(1, 4), "b\r\n");
    EXPECT_EQ(e.textRange(4, 100), "cd");
    EXPECT_EQ(e.textRange(7, 9), "");
    EXPECT_EQ(e.text(), "ab\r\ncd");
}

// Catches line breaks that reach the text as lone CR or LF, a caret left
// before the inserted text, and a missing change event.
TYPED_TEST_P(EditControlContract, ReplaceSelectionMakesEveryLineBreakCrLf) {
    using namespace contract;
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
TYPED_TEST_P(EditControlContract, LineRequests) {
    using namespace contract;
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
TYPED_TEST_P(EditControlContract, FindInByteRange) {
    using namespace contract;
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
TYPED_TEST_P(EditControlContract, FindMatchesEitherFormOfADuplicate) {
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
TYPED_TEST_P(EditControlContract, ColourFollowsInsertsAndDeletes) {
    using namespace contract;
    auto& e = this->edit();
    e.setText("0123456789");
    e.setSelection(2, 5);
    e.colorSelection(CharColor::of(kRed));
    EXPECT_EQ(colourMap(e), "..RRR.....");

    e.setSelStart(4);
    e.replaceSelection("xy");  // behind a red byte
    EXPECT_EQ(colourMap(e), "..RRRRR.....");
    e.setSelStart(2);
    e.replaceSelection("z");  // behind an automatic byte
    EXPECT_EQ(colourMap(e), "...RRRRR.....");
    e.setSelection(4, 7);
    e.replaceSelection("");  // the deleted colour goes with its bytes
    EXPECT_EQ(colourMap(e), "...RR.....");
    e.setSelStart(5);
    e.replaceSelection("a\r\nb");  // a line break takes colour as well
    EXPECT_EQ(colourMap(e), "...RRRRRR.....");
    EXPECT_EQ(e.text(), "01z24a\r\nb56789");
}

// Catches colour requests that count as edits: no change event, no undo
// step, no modified flag.
TYPED_TEST_P(EditControlContract, ColouringIsNoEdit) {
    using namespace contract;
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

// Catches a sweep over many ranges that colours other characters than the
// same ranges one by one would (a range end inside a double-byte character
// or a CR LF, a range past the end, overlapping ranges, a range across
// lines), or leaves the selection elsewhere.
TYPED_TEST_P(EditControlContract, ColourRangesAreOneSelectionAndColourEach) {
    using namespace contract;
    using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
    // a b あ(2-3) CR LF c d ア(8-9) _ e f CR LF CR LF g h(18)
    const std::string text = "ab" + kA + "\r\ncd" + kKatakanaA + " ef\r\n\r\ngh";
    struct Row {
        const char* name;
        Ranges ranges;
        CharColor color;
    };
    const Row rows[] = {
        {"one range", {{0, 2}}, CharColor::of(kBlue)},
        {"several in a line", {{0, 1}, {2, 4}, {7, 8}}, CharColor::of(kBlue)},
        {"across lines", {{3, 7}, {12, 18}}, CharColor::of(kBlue)},
        {"ends inside characters", {{0, 3}, {9, 12}}, CharColor::of(kBlue)},
        {"between CR and LF", {{5, 6}, {13, 15}}, CharColor::of(kBlue)},
        {"touching and overlapping", {{0, 4}, {4, 6}, {5, 9}}, CharColor::of(kBlue)},
        {"empty and past the end", {{1, 1}, {17, 100}, {200, 300}}, CharColor::of(kBlue)},
        {"back to automatic", {{7, 9}, {11, 19}}, CharColor::autoColor()},
        {"no ranges", {}, CharColor::of(kBlue)},
    };
    for (const Row& row : rows) {
        const std::unique_ptr<EditControl> swept = this->another();
        const std::unique_ptr<EditControl> oneByOne = this->another();
        for (EditControl* e : {swept.get(), oneByOne.get()}) {
            e->setText(text);
            e->setSelection(6, 12);
            e->colorSelection(CharColor::of(kRed));
            e->setModified(false);
            e->setSelection(1, 2);
        }
        swept->colorRanges(row.ranges, row.color);
        for (const auto& [start, end] : row.ranges) {
            oneByOne->setSelection(start, end);
            oneByOne->colorSelection(row.color);
        }
        EXPECT_EQ(stateOf(*swept), stateOf(*oneByOne)) << row.name;
        EXPECT_FALSE(swept->modified()) << row.name;
    }
}

// Catches a text load whose pieces join into another text than setText of
// the whole makes (a line lost or doubled where two pieces meet, a long line
// not held as one), or that leaves behind anything of the old text:
// colours, undo history, modified flag, selection.
TYPED_TEST_P(EditControlContract, LoadInPiecesIsSetTextOfTheWhole) {
    using namespace contract;
    struct Row {
        const char* name;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {"one piece", {"ab\r\ncd"}},
        {"lines in pieces", {"a\r\n", kA + "\xff\r\n", "\r\n", "end"}},
        {"ends with a line break", {"a\r\n", "b\r\n"}},
        {"an empty last piece", {"a\r\n", ""}},
        {"no pieces", {}},
        {"a long line", {"head\r\n", longLine() + "\r\n", "tail"}},
    };
    for (const Row& row : rows) {
        const std::unique_ptr<EditControl> loaded = this->another();
        const std::unique_ptr<EditControl> set = this->another();
        int loadedEvents = 0;
        int setEvents = 0;
        giveHistory(*loaded, false);
        giveHistory(*set, false);
        loaded->setChangeHandler([&loadedEvents] { ++loadedEvents; });
        set->setChangeHandler([&setEvents] { ++setEvents; });

        std::string whole;
        {
            const std::unique_ptr<EditControl::TextLoad> load = loaded->beginTextLoad();
            for (const std::string& piece : row.pieces) {
                load->append(piece);
                whole += piece;
            }
            load->commit();
        }
        set->setText(whole);
        EXPECT_EQ(stateOf(*loaded), stateOf(*set)) << row.name;
        EXPECT_EQ(loadedEvents, setEvents) << row.name;
        EXPECT_EQ(loaded->find("\r\n", 0, whole.size(), true),
                  set->find("\r\n", 0, whole.size(), true))
            << row.name;

        // The loaded text is the control's own: edits and undo follow it.
        for (EditControl* e : {loaded.get(), set.get()}) {
            e->setSelection(1, whole.size());
            e->replaceSelection("Z");
        }
        EXPECT_EQ(stateOf(*loaded), stateOf(*set)) << row.name << ", edited";
        loaded->undo();
        set->undo();
        EXPECT_EQ(stateOf(*loaded), stateOf(*set)) << row.name << ", undone";
        EXPECT_EQ(loaded->text(), whole) << row.name << ", undone";
    }
}

// Catches a load dropped before its commit that changes anything: the
// text, its colours, the selection, the modified flag either way, the undo
// history (which must still take back the step before the load).
TYPED_TEST_P(EditControlContract, DroppedLoadLeavesEverythingAsItWas) {
    using namespace contract;
    struct Row {
        const char* name;
        std::vector<std::string> pieces;
        bool modified;
    };
    const Row rows[] = {
        {"no pieces", {}, false},
        {"a few lines", {"new\r\n", "text"}, true},
        {"a long line", {"head\r\n", longLine()}, false},
    };
    for (const Row& row : rows) {
        auto& e = this->edit();
        giveHistory(e, row.modified);
        const ControlState before = stateOf(e);
        const int events = this->events();
        {
            const std::unique_ptr<EditControl::TextLoad> load = e.beginTextLoad();
            for (const std::string& piece : row.pieces)
                load->append(piece);
            EXPECT_EQ(stateOf(e), before) << row.name << ", while loading";
        }
        EXPECT_EQ(stateOf(e), before) << row.name;
        EXPECT_EQ(this->events(), events) << row.name;
        ASSERT_TRUE(e.canUndo()) << row.name;
        e.undo();
        EXPECT_EQ(e.text(), "<b>a</b>\r\n" + kA + "bc") << row.name;
    }
}

// Catches an event mask that silences nothing, or silences for good.
TYPED_TEST_P(EditControlContract, EventMaskSilencesChangeEvents) {
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
TYPED_TEST_P(EditControlContract, ModifiedFlagIsSticky) {
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
TYPED_TEST_P(EditControlContract, UndoTakesBackOneReplacement) {
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
TYPED_TEST_P(EditControlContract, EditBlockIsOneUndoStep) {
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
TYPED_TEST_P(EditControlContract, EditBlockWithRedrawOff) {
    using namespace contract;
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
    EXPECT_EQ(colourMap(e), "...R.......");
    EXPECT_EQ(e.selStart(), 11u);
    EXPECT_EQ(e.selLength(), 0u);
    e.undo();
    EXPECT_EQ(e.text(), "ab\r\ncd ab");
    EXPECT_FALSE(e.canUndo());
}

// Catches clipboard requests mixed up: delete must not touch the clipboard,
// cut and paste must move the bytes as they are.
TYPED_TEST_P(EditControlContract, ClipboardRequests) {
    using namespace contract;
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

// Catches redo that puts back something else than undo took, splits an edit
// block, lets colouring into the history, survives a new edit or setText,
// or leaves the caret elsewhere than the edit itself did.
TYPED_TEST_P(EditControlContract, RedoPutsBackWhatUndoTookBack) {
    using namespace contract;
    struct Row {
        const char* name;
        void (*edit)(EditControl& e);  // on "a-b-a" with history empty
        std::string edited;
        std::size_t caret;  // where the edit left it, and redo must too
    };
    const Row rows[] = {
        {"one replacement",
         [](EditControl& e) {
             e.setSelection(2, 3);
             e.replaceSelection(kA + "\r\n");
         },
         "a-" + kA + "\r\n-a", 6},
        {"an edit block (a replace-all)",
         [](EditControl& e) {
             e.beginEditBlock();
             e.setSelection(0, 1);
             e.replaceSelection("xy");
             e.setSelection(5, 6);
             e.replaceSelection("xy");
             e.endEditBlock();
         },
         "xy-b-xy", 7},
        {"an edit on a long line",
         [](EditControl& e) {
             e.setSelStart(5);
             e.replaceSelection(longLine());
         },
         "a-b-a" + longLine(), 5 + longLine().size()},
    };
    for (const Row& row : rows) {
        auto& e = this->edit();
        e.setText("a-b-a");
        EXPECT_FALSE(e.canRedo()) << row.name;
        row.edit(e);
        ASSERT_EQ(e.text(), row.edited) << row.name;
        EXPECT_FALSE(e.canRedo()) << row.name << ": nothing undone yet";
        e.setSelection(0, 1);
        e.colorSelection(CharColor::of(kRed));
        e.undo();
        ASSERT_EQ(e.text(), "a-b-a") << row.name;
        ASSERT_TRUE(e.canRedo()) << row.name;
        const int events = this->events();
        e.redo();
        EXPECT_EQ(e.text(), row.edited) << row.name;
        EXPECT_EQ(this->events(), events + 1) << row.name << ": one change event";
        EXPECT_EQ(e.selStart(), row.caret) << row.name;
        EXPECT_EQ(e.selLength(), 0u) << row.name;
        EXPECT_FALSE(e.canRedo()) << row.name << ": colouring is no step of the history";
        EXPECT_TRUE(e.modified()) << row.name;
        e.undo();
        EXPECT_EQ(e.text(), "a-b-a") << row.name << ": the redone step undoes again, whole";
        e.setSelStart(0);
        e.replaceSelection("q");
        EXPECT_FALSE(e.canRedo()) << row.name << ": a new edit forgets what was undone";
        e.undo();
        ASSERT_TRUE(e.canRedo()) << row.name;
        e.setText("new");
        EXPECT_FALSE(e.canRedo()) << row.name << ": a new text forgets it too";
    }
}

REGISTER_TYPED_TEST_SUITE_P(EditControlContract, SelectionStartSnapsToCharacterStarts,
                            SelectionLengthAndText, TextRangeClamps,
                            ReplaceSelectionMakesEveryLineBreakCrLf, LineRequests, FindInByteRange,
                            FindMatchesEitherFormOfADuplicate, ColourFollowsInsertsAndDeletes,
                            ColouringIsNoEdit, ColourRangesAreOneSelectionAndColourEach,
                            LoadInPiecesIsSetTextOfTheWhole, DroppedLoadLeavesEverythingAsItWas,
                            EventMaskSilencesChangeEvents, ModifiedFlagIsSticky,
                            UndoTakesBackOneReplacement, EditBlockIsOneUndoStep,
                            EditBlockWithRedrawOff, ClipboardRequests,
                            RedoPutsBackWhatUndoTookBack);

// The contract again in each codec a control can speak. A factory of this
// suite also names the codec: static const TextCodec& codec(); make() gives
// a fresh, empty control already speaking it.
namespace contract {

// UTF-8 source text in the codec's bytes.
inline std::string in(const TextCodec& codec, std::string_view utf8) {
    return codec.fromUtf8(utf8).bytes;
}

// Characters of more than one byte that the codec holds, with a name.
inline std::vector<std::pair<const char*, std::string>> multibyteSamples(const TextCodec& codec) {
    std::vector<std::pair<const char*, std::string>> out = {
        {"hiragana", in(codec, "\xe3\x81\x82")},  // あ
        {"kanji", in(codec, "\xe6\x97\xa5")},     // 日
    };
    if (&codec != &shiftJisCodec())
        out.push_back({"half-width katakana", in(codec, "\xef\xbd\xb1")});  // ｱ
    if (&codec == &utf8Codec()) {
        out.push_back({"Latin with an accent", "\xc3\xa9"});  // é
        out.push_back({"Korean", "\xed\x95\x9c"});            // 한
        out.push_back({"emoji", "\xf0\x9f\x98\x80"});         // 😀
    }
    return out;
}

// Bytes of no character, and bytes that look like one but are not.
inline std::string invalidBytes(const TextCodec& codec) {
    if (&codec == &utf8Codec())
        return "\xff\xe3\x81"
               "b\xc0\xaf\x80\xed\xa0\x80";  // a cut-off kana, an overlong "/", a surrogate
    if (&codec == &eucJpCodec())
        return "\x8f\xa1\xa1"
               "b\xa4";  // a JIS X 0212 character, a lone first byte
    return "\xff"
           "b\x81";  // a byte no character has, a lone lead byte
}

}  // namespace contract

template <typename Factory>
class CodecEditControlContract : public ::testing::Test {
  protected:
    CodecEditControlContract() : m_edit(Factory::make()) {}
    EditControl& edit() { return *m_edit; }
    static const TextCodec& codec() { return Factory::codec(); }
    static std::string in(std::string_view utf8) { return contract::in(codec(), utf8); }
    static std::unique_ptr<EditControl> another() { return Factory::make(); }

  private:
    std::unique_ptr<EditControl> m_edit;
};

TYPED_TEST_SUITE_P(CodecEditControlContract);

// Catches a control that does not speak the codec it was given.
TYPED_TEST_P(CodecEditControlContract, SpeaksItsCodec) {
    EXPECT_EQ(this->edit().codec().charsetName(), this->codec().charsetName());
}

// Catches offsets counted in Shift_JIS or UTF-16 units instead of the
// codec's bytes, and a caret, a selection or a colour that falls inside a
// character of three or four bytes.
TYPED_TEST_P(CodecEditControlContract, EveryCharacterIsItsBytes) {
    using namespace contract;
    auto& e = this->edit();
    for (const auto& [name, c] : multibyteSamples(this->codec())) {
        const std::size_t n = c.size();
        e.setText("a" + c + "\r\n" + c + "b");
        ASSERT_EQ(e.text(), "a" + c + "\r\n" + c + "b") << name;
        EXPECT_EQ(e.textLength(), 2 * n + 4) << name;
        for (std::size_t k = 1; k <= n; ++k) {
            e.setSelStart(k);
            EXPECT_EQ(e.selStart(), 1u) << name << ", caret at " << k;
        }
        e.setSelection(1, n);  // ends inside the character
        EXPECT_EQ(e.selLength(), 0u) << name;
        e.setSelStart(1);
        e.setSelLength(n);
        EXPECT_EQ(e.selText(), c) << name;
        EXPECT_EQ(e.textRange(n + 1, n + 3), "\r\n") << name;
        EXPECT_EQ(e.lineText(0), "a" + c) << name;
        EXPECT_EQ(e.lineIndex(1), n + 3) << name;
        EXPECT_EQ(e.lineFromChar(n + 3), 1u) << name;
        EXPECT_EQ(e.lineStartOf(2 * n + 3), n + 3) << name;

        e.setSelection(n + 3, n + 4);  // the second character, ended inside it
        e.colorSelection(CharColor::of(kRed));
        e.setSelection(1, n + 1);
        e.colorSelection(CharColor::of(kBlue));
        EXPECT_EQ(colourMap(e), "." + std::string(n, 'B') + ".." + std::string(n, '.') + ".")
            << name;
        e.colorRanges({{n + 3, 2 * n + 3}, {2 * n + 3, 2 * n + 4}}, CharColor::of(kRed));
        EXPECT_EQ(colourMap(e), "." + std::string(n, 'B') + ".." + std::string(n, 'R') + "R")
            << name;
    }
}

// Catches a search that matches inside a character, starts or ends in one,
// folds other letters than ASCII, or misses characters of the codec.
TYPED_TEST_P(CodecEditControlContract, FindAtCharacterBoundaries) {
    using namespace contract;
    auto& e = this->edit();
    for (const auto& [name, c] : multibyteSamples(this->codec())) {
        const std::size_t n = c.size();
        // a b c C A B C C x CR LF y
        e.setText("abc" + c + "ABC" + c + "x\r\ny");
        const std::size_t second = 6 + n;
        struct Row {
            const char* what;
            std::string pattern;
            std::size_t min;
            bool matchCase;
            std::optional<std::size_t> found;
        };
        const Row rows[] = {
            {"the character", c, 0, true, 3},
            {"from past the first", c, 4, true, second},
            {"ASCII folds", "ABC" + c, 0, false, 0},
            {"ASCII with match case", "ABC" + c, 0, true, 3 + n},
            {"its last byte alone", c.substr(n - 1), 0, true, std::nullopt},
            {"its first bytes only", c.substr(0, n - 1), 0, true, std::nullopt},
            {"a line break inside", c + "x\r\ny", 0, true, second},
            {"starting inside", c.substr(1) + "ABC", 0, true, std::nullopt},
        };
        for (const Row& row : rows) {
            EXPECT_EQ(e.find(row.pattern, row.min, e.textLength(), row.matchCase), row.found)
                << name << ": " << row.what;
        }
    }
    if (&this->codec() == &utf8Codec()) {
        e.setText("\xc3\xa9 \xc3\x89");  // é É
        EXPECT_EQ(e.find("\xc3\x89", 0, e.textLength(), false), std::optional<std::size_t>(3))
            << "only ASCII folds";
    }
    if (&this->codec() == &eucJpCodec()) {
        // あい: the bytes A2 A4 between them are "・" on their own.
        e.setText(this->in("\xe3\x81\x82\xe3\x81\x84"));
        EXPECT_EQ(e.find("\xa2\xa4", 0, e.textLength(), true), std::nullopt);
    }
}

// Catches edits that count or colour the codec's characters wrongly, and
// undo that brings back other bytes than were there.
TYPED_TEST_P(CodecEditControlContract, EditsColoursAndUndo) {
    using namespace contract;
    auto& e = this->edit();
    for (const auto& [name, c] : multibyteSamples(this->codec())) {
        const std::size_t n = c.size();
        e.setText("ab" + c);
        e.setSelection(0, 1);
        e.colorSelection(CharColor::of(kRed));
        e.setSelStart(1);
        e.replaceSelection(c);  // behind the red "a"
        EXPECT_EQ(e.text(), "a" + c + "b" + c) << name;
        EXPECT_EQ(e.selStart(), 1 + n) << name;
        EXPECT_EQ(colourMap(e), "R" + std::string(n, 'R') + "." + std::string(n, '.')) << name;
        e.setSelection(2 + n, 2 + 2 * n);
        e.replaceSelection("x");
        EXPECT_EQ(e.text(), "a" + c + "bx") << name;
        e.undo();
        EXPECT_EQ(e.text(), "a" + c + "b" + c) << name;
        EXPECT_EQ(e.selText(), c) << name << ": undo selects what it brought back";
        e.undo();
        EXPECT_EQ(e.text(), "ab" + c) << name;
        EXPECT_EQ(colourMap(e), "R." + std::string(n, '.')) << name;
    }
}

// Catches a load whose pieces are decoded on their own, so that a
// character cut between two pieces becomes bytes without a character, or a
// line cut between them becomes two.
TYPED_TEST_P(CodecEditControlContract, LoadSplitInsideACharacterIsTheWhole) {
    using namespace contract;
    for (const auto& [name, c] : multibyteSamples(this->codec())) {
        const std::string whole = "a" + c + c + "\r\n" + c + "b";
        for (std::size_t cutAt = 1; cutAt < whole.size(); ++cutAt) {
            const std::unique_ptr<EditControl> loaded = this->another();
            const std::unique_ptr<EditControl> set = this->another();
            {
                const std::unique_ptr<EditControl::TextLoad> load = loaded->beginTextLoad();
                load->append(whole.substr(0, cutAt));
                load->append(whole.substr(cutAt));
                load->commit();
            }
            set->setText(whole);
            ASSERT_EQ(stateOf(*loaded), stateOf(*set)) << name << ", cut at " << cutAt;
            loaded->setSelStart(2);
            EXPECT_EQ(loaded->selStart(), 1u) << name << ", cut at " << cutAt;
        }
    }
}

// Catches bytes of no character that are lost, changed or merged into
// their neighbours when the text is read, edited elsewhere and read again.
TYPED_TEST_P(CodecEditControlContract, InvalidBytesRoundTrip) {
    using namespace contract;
    auto& e = this->edit();
    const std::string bad = invalidBytes(this->codec());
    const std::string text = "<p>" + bad + "\r\n" + this->in("\xe3\x81\x82") + bad;
    e.setText(text);
    EXPECT_EQ(e.text(), text);
    EXPECT_EQ(e.textLength(), text.size());
    for (std::size_t k = 0; k <= bad.size(); ++k) {
        e.setSelStart(3 + k);
        EXPECT_EQ(e.selStart(), 3 + k) << "each such byte is a character of its own";
    }
    e.setSelStart(0);
    e.replaceSelection("x");
    e.setSelection(e.textLength(), e.textLength());
    e.replaceSelection("y");
    EXPECT_EQ(e.text(), "x" + text + "y");
    EXPECT_EQ(e.find(bad, 0, e.textLength(), true), std::optional<std::size_t>(4));
    e.setSelection(4, 4 + bad.size());
    EXPECT_EQ(e.selText(), bad);
}

// Catches a change of codec that loses the characters, their colours, the
// selection or the undo history, or leaves the bytes in the old codec.
TYPED_TEST_P(CodecEditControlContract, ChangeOfCodecKeepsTheCharacters) {
    using namespace contract;
    const std::unique_ptr<EditControl> made = this->another();
    EditControl& e = *made;
    const TextCodec& sjis = shiftJisCodec();
    e.setCodec(sjis);
    ASSERT_EQ(&e.codec(), &sjis);
    // a 日本 b, then 本 replaced by 語: an undo step in Shift_JIS bytes.
    e.setText(contract::in(sjis,
                           "a\xe6\x97\xa5\xe6\x9c\xac"
                           "b\r\nc"));
    e.setSelection(1, 3);
    e.colorSelection(CharColor::of(kRed));
    e.setSelection(3, 5);
    e.replaceSelection(contract::in(sjis, "\xe8\xaa\x9e"));
    e.setSelection(1, 5);

    e.setCodec(this->codec());
    EXPECT_EQ(&e.codec(), &this->codec());
    const std::string day = this->in("\xe6\x97\xa5");
    const std::string word = this->in("\xe8\xaa\x9e");
    EXPECT_EQ(e.text(), "a" + day + word + "b\r\nc");
    EXPECT_EQ(e.selText(), day + word);
    EXPECT_EQ(colourMap(e),
              "." + std::string(day.size(), 'R') + std::string(word.size(), 'R') + "....");
    ASSERT_TRUE(e.canUndo());
    e.undo();
    EXPECT_EQ(e.text(), this->in("a\xe6\x97\xa5\xe6\x9c\xac"
                                 "b\r\nc"));
    EXPECT_EQ(e.selText(), this->in("\xe6\x9c\xac"));
}

REGISTER_TYPED_TEST_SUITE_P(CodecEditControlContract, SpeaksItsCodec, EveryCharacterIsItsBytes,
                            FindAtCharacterBoundaries, EditsColoursAndUndo,
                            LoadSplitInsideACharacterIsTheWhole, InvalidBytesRoundTrip,
                            ChangeOfCodecKeepsTheCharacters);

}  // namespace korvane::test
