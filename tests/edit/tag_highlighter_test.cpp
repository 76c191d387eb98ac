#include "edit/tag_highlighter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

using test::MemoryEditControl;
using Request = MemoryEditControl::ColorRequest;

constexpr ColorValue kTag = 0x0000FF;
const CharColor kTagColor = CharColor::of(kTag);
const CharColor kAuto = CharColor::autoColor();

// One letter per byte: 'T' in the tag colour, '.' automatic, '?' anything else.
std::string colours(const MemoryEditControl& edit) {
    std::string out;
    for (std::size_t i = 0; i < edit.textLength(); ++i) {
        const CharColor c = edit.colorAt(i);
        out += c == kAuto ? '.' : c == kTagColor ? 'T' : '?';
    }
    return out;
}

struct Fixture {
    explicit Fixture(std::string_view text) : edit(text), highlighter(edit) {
        highlighter.setHighlightColor(kTag);
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
    }
    MemoryEditControl edit;
    TagHighlighter highlighter;
};

// Catches a pass that merges ranges, colours text between tags, or loses the
// selection, event mask, redraw or modified state it found.
TEST(WholeTextPass, ColoursEachTagAndRestoresTheControl) {
    Fixture f("<P>abc</P>\r\n<B>x</B>");
    f.edit.setModified(false);
    f.edit.setSelection(4, 6);
    f.edit.setEventMask(7);
    f.highlighter.html1Click();

    EXPECT_EQ(
        f.edit.colorRequests(),
        (std::vector<Request>{
            {0, 3, kTagColor}, {6, 10, kTagColor}, {12, 15, kTagColor}, {16, 20, kTagColor}}));
    EXPECT_EQ(colours(f.edit), "TTT...TTTT..TTT.TTTT");
    EXPECT_EQ(f.edit.selStart(), 4u);
    EXPECT_EQ(f.edit.selLength(), 2u);
    EXPECT_EQ(f.edit.eventMask(), 7u);
    EXPECT_TRUE(f.edit.redrawOn());
    EXPECT_TRUE(f.edit.visible());
    EXPECT_TRUE(f.edit.hasFocus());
    EXPECT_FALSE(f.edit.modified());
    EXPECT_EQ(f.edit.undoDepth(), 0u);
    EXPECT_TRUE(f.highlighter.TagsHighlighted());
}

// Catches a toggle that leaves colour behind, forgets the selection or marks a
// saved document as changed.
TEST(Toggle, TwiceRestoresSelectionModifiedAndColours) {
    for (const bool modified : {false, true}) {
        Fixture f("a<B>b</B>c");
        f.edit.setModified(modified);
        f.edit.setSelection(2, 7);
        bool mainFocused = false;
        f.highlighter.setFocusMainWindow([&mainFocused] { mainFocused = true; });

        f.highlighter.html1Click();
        EXPECT_EQ(colours(f.edit), ".TTT.TTTT.");
        f.edit.clearColorRequests();
        f.highlighter.html1Click();

        EXPECT_EQ(f.edit.colorRequests(), (std::vector<Request>{{0, 10, kAuto}}));
        EXPECT_EQ(colours(f.edit), "..........");
        EXPECT_EQ(f.edit.selStart(), 2u);
        EXPECT_EQ(f.edit.selLength(), 5u);
        EXPECT_EQ(f.edit.modified(), modified);
        EXPECT_FALSE(f.edit.updatesLocked());
        EXPECT_TRUE(mainFocused);
        EXPECT_FALSE(f.highlighter.TagsHighlighted());
        EXPECT_FALSE(f.highlighter.RecolourBusy());
    }
}

// Catches a pass that skips the state change on an empty text or asks for
// colour where there is nothing to colour.
TEST(Toggle, EmptyTextStillFlipsTheFlag) {
    Fixture f("");
    f.highlighter.html1Click();
    EXPECT_TRUE(f.highlighter.TagsHighlighted());
    f.highlighter.html1Click();
    EXPECT_FALSE(f.highlighter.TagsHighlighted());
    EXPECT_TRUE(f.edit.colorRequests().empty());
    EXPECT_FALSE(f.edit.modified());
}

// Catches a pass that gives up when the window cannot take the focus yet.
TEST(WholeTextPass, CompletesWithoutFocus) {
    Fixture f("<B>x");
    f.edit.setFocusAvailable(false);
    f.highlighter.html1Click();
    EXPECT_TRUE(f.highlighter.TagsHighlighted());
    EXPECT_EQ(colours(f.edit), "TTT.");
}

struct LiveCase {
    const char* name;
    std::string text;
    std::size_t from, to;  // the range the user replaces
    std::string typed;
    std::string result;
    std::vector<Request> requests;
    std::string colours;
};

class LiveRecolour : public ::testing::TestWithParam<LiveCase> {};

// Catches a re-colouring that looks at the wrong range, misses joined or split
// tags, or does not put the caret back.
TEST_P(LiveRecolour, ColoursAroundTheChange) {
    const LiveCase& c = GetParam();
    Fixture f(c.text);
    f.highlighter.html1Click();
    f.edit.clearColorRequests();
    f.edit.setSelection(c.from, c.to);
    f.edit.replaceSelection(c.typed);

    EXPECT_EQ(f.edit.text(), c.result);
    EXPECT_EQ(f.edit.colorRequests(), c.requests);
    EXPECT_EQ(colours(f.edit), c.colours);
    EXPECT_EQ(f.edit.selStart(), c.from + c.typed.size());
    EXPECT_EQ(f.edit.selLength(), 0u);
    EXPECT_FALSE(f.edit.updatesLocked());
    EXPECT_FALSE(f.highlighter.RecolourBusy());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LiveRecolour,
    ::testing::Values(
        LiveCase{"TypeInsideElement",
                 "<B>ab</B>",
                 5,
                 5,
                 "c",
                 "<B>abc</B>",
                 {{0, 10, kAuto}, {0, 3, kTagColor}, {6, 10, kTagColor}},
                 "TTT...TTTT"},
        LiveCase{"TypeOpeningBracket",
                 "xb>",
                 1,
                 1,
                 "<",
                 "x<b>",
                 {{1, 4, kAuto}, {1, 4, kTagColor}},
                 ".TTT"},
        LiveCase{"DeleteCloseJoinsTags",
                 "<B>x<I>",
                 2,
                 3,
                 "",
                 "<Bx<I>",
                 {{0, 6, kAuto}, {0, 6, kTagColor}},
                 "TTTTTT"},
        LiveCase{"DeleteCloseLeavesNoTag", "<B>x", 2, 3, "", "<Bx", {{0, 2, kAuto}}, "..."},
        // Typed right behind a tag the letter first takes the tag's colour.
        LiveCase{
            "TypeBehindTag", "<B>", 3, 3, "y", "<B>y", {{0, 4, kAuto}, {0, 3, kTagColor}}, "TTT."},
        LiveCase{"PlainTextAway", "ab", 1, 1, "c", "acb", {}, "..."},
        // Only the range around the caret is redone; the pasted "<I>" keeps
        // the colour it came in with.
        LiveCase{"PasteSeveralTags",
                 "<B>",
                 0,
                 0,
                 "<I>x<U>y",
                 "<I>x<U>y<B>",
                 {{4, 11, kAuto}, {4, 7, kTagColor}, {8, 11, kTagColor}},
                 "....TTT.TTT"}),
    [](const auto& row) { return std::string(row.param.name); });

// The brackets around a change are looked for chunk by chunk; one byte on
// either side of a chunk edge, several chunks away, or nowhere at all.
struct FarCase {
    const char* name;
    std::size_t before;  // bytes between the "<" and the caret (none: no "<")
    std::size_t after;   // bytes between the caret and the ">" (none: no ">")
};
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kChunk = TagHighlighter::kFirstChunk;

class FarBrackets : public ::testing::TestWithParam<FarCase> {};

// Catches a chunked search that misses a bracket on a chunk edge, stops after
// the first chunk, or finds one that is not there.
TEST_P(FarBrackets, RangeReachesTheNearestBrackets) {
    const FarCase& c = GetParam();
    // A ">" before the "<" and a "<" behind the ">" must not end the search.
    const std::string left =
        c.before == kNone ? std::string(3 * kChunk, 'a') : "<" + std::string(c.before - 1, 'a');
    const std::string right =
        c.after == kNone ? std::string(3 * kChunk, 'a') : std::string(c.after - 1, 'a') + ">";
    const std::string text = "x>" + left + right + "<y";
    const std::size_t caret = 2 + left.size();
    Fixture f(text);
    f.highlighter.html1Click();
    f.edit.clearColorRequests();
    f.edit.setSelStart(caret);
    f.edit.replaceSelection("z");

    // Without a bracket the range ends at the caret behind the typed byte.
    const std::size_t from = c.before == kNone ? caret + 1 : 2;
    const std::size_t to = c.after == kNone ? caret + 1 : caret + 1 + right.size();
    std::vector<Request> expected;
    if (from < to)
        expected.push_back({from, to, kAuto});
    if (c.before != kNone && c.after != kNone)
        expected.push_back({from, to, kTagColor});
    EXPECT_EQ(f.edit.colorRequests(), expected);
    EXPECT_EQ(f.edit.selStart(), caret + 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, FarBrackets,
                         ::testing::Values(FarCase{"JustInsideFirstChunk", kChunk, kChunk},
                                           FarCase{"JustPastFirstChunk", kChunk + 1, kChunk + 1},
                                           FarCase{"SecondChunkEdge", 3 * kChunk, 3 * kChunk + 1},
                                           FarCase{"ManyChunksAway", 600 * kChunk, 600 * kChunk},
                                           FarCase{"NoOpenBefore", kNone, 10},
                                           FarCase{"NoCloseAfter", 10, kNone},
                                           FarCase{"NeitherBracket", kNone, kNone}),
                         [](const auto& row) { return std::string(row.param.name); });

// Catches a search that reads before the text or past its end when the
// change is at either end.
TEST(FarBrackets, ChangeAtTheEnds) {
    Fixture f(std::string(2 * kChunk, 'a') + "<b>");
    f.highlighter.html1Click();
    f.edit.clearColorRequests();
    f.edit.setSelStart(0);
    f.edit.replaceSelection("<");
    EXPECT_EQ(f.edit.colorRequests(),
              (std::vector<Request>{{0, 2 * kChunk + 4, kAuto}, {0, 2 * kChunk + 4, kTagColor}}));
    f.edit.clearColorRequests();
    f.edit.setSelStart(f.edit.textLength());
    f.edit.replaceSelection("c");
    const std::size_t end = f.edit.textLength();
    EXPECT_EQ(f.edit.colorRequests(),
              (std::vector<Request>{{end - 4, end, kAuto}, {end - 4, end - 1, kTagColor}}));
}

// Catches re-colouring that runs while highlighting is off or inside the
// program's own changes.
TEST(LiveRecolour, IdleWhenOffOrBusy) {
    Fixture f("<B>x");
    f.edit.setSelStart(4);
    f.edit.replaceSelection("<I>");
    EXPECT_TRUE(f.edit.colorRequests().empty());
    EXPECT_EQ(f.edit.windowCalls().lock, 0);
}

// Catches an insertion that re-colours more than once, leaves the inserted
// text selected or the editor locked.
TEST(TagInsertion, ColoursInsertedTagsOnceAndLeavesCaretBehind) {
    Fixture f("abc def");
    f.highlighter.html1Click();
    f.edit.clearColorRequests();
    f.edit.setSelection(0, 3);
    f.highlighter.insertTagText("<B>abc</B>");

    EXPECT_EQ(f.edit.text(), "<B>abc</B> def");
    EXPECT_EQ(f.edit.colorRequests(),
              (std::vector<Request>{{0, 10, kAuto}, {0, 3, kTagColor}, {6, 10, kTagColor}}));
    EXPECT_EQ(f.edit.selStart(), 10u);
    EXPECT_EQ(f.edit.selLength(), 0u);
    EXPECT_FALSE(f.edit.updatesLocked());
    EXPECT_FALSE(f.highlighter.RecolourBusy());
}

// Catches an insertion whose caret is off after line breaks were widened to
// CR LF, and a plain insertion that colours.
TEST(TagInsertion, LineBreaksAndHighlightingOff) {
    Fixture on("x");
    on.highlighter.html1Click();
    on.edit.setSelStart(1);
    on.highlighter.insertTagText("<UL><LI>a\n<LI>b</UL>");
    EXPECT_EQ(on.edit.text(), "x<UL><LI>a\r\n<LI>b</UL>");
    EXPECT_EQ(on.edit.selStart(), on.edit.textLength());
    EXPECT_EQ(colours(on.edit), ".TTTTTTTT...TTTT.TTTTT");

    Fixture off("");
    off.highlighter.insertTagText("<B></B>");
    EXPECT_EQ(off.edit.selStart(), 7u);
    EXPECT_TRUE(off.edit.colorRequests().empty());
}

// Catches a font change that loses the colouring or the selection, or that
// turns highlighting on.
TEST(FontChange, RedoesColouringOnlyWhenHighlighted) {
    Fixture f("<B>x</B>");
    int fontApplied = 0;
    f.highlighter.changeFont([&fontApplied] { ++fontApplied; });
    EXPECT_FALSE(f.highlighter.TagsHighlighted());
    EXPECT_TRUE(f.edit.colorRequests().empty());

    f.highlighter.html1Click();
    f.edit.setSelection(3, 4);
    f.highlighter.changeFont([&fontApplied] { ++fontApplied; });
    EXPECT_EQ(fontApplied, 2);
    EXPECT_TRUE(f.highlighter.TagsHighlighted());
    EXPECT_EQ(colours(f.edit), "TTT.TTTT");
    EXPECT_EQ(f.edit.selStart(), 3u);
    EXPECT_EQ(f.edit.selLength(), 1u);
    EXPECT_TRUE(f.edit.redrawOn());
}

// Catches a forced pass that skips when the flag is already set (old colour
// stays) and a turn-off that toggles highlighting on.
TEST(ForcedPasses, NewColourAndTurnOff) {
    Fixture f("<B>x");
    f.highlighter.turnOff();
    EXPECT_FALSE(f.highlighter.TagsHighlighted());
    f.highlighter.highlightOnEntry();
    EXPECT_TRUE(f.highlighter.TagsHighlighted());
    f.highlighter.setHighlightColor(0x00FF00);
    f.highlighter.forceWholeTextPass();
    EXPECT_EQ(f.edit.colorAt(0), CharColor::of(0x00FF00));
    f.highlighter.turnOff();
    EXPECT_EQ(f.edit.colorAt(0), kAuto);
}

// Catches hangs, crashes and runaway work on hostile pages.
TEST(BadInput, LongLinesManyTagsAndStrayBytes) {
    Fixture open("<" + std::string(1 << 20, 'a'));
    open.highlighter.html1Click();
    open.edit.setSelStart(open.edit.textLength());
    open.edit.replaceSelection("b");
    EXPECT_EQ(open.edit.colorRequests(),
              (std::vector<Request>{{0, open.edit.textLength(), kAuto}}));

    std::string page;
    for (int i = 0; i < 100000; ++i)
        page += "<I>\r\n";
    Fixture many(page);
    many.highlighter.html1Click();
    EXPECT_EQ(many.edit.colorRequests().size(), 100000u);

    Fixture stray(std::string("\0\x82<\xff\x81>\x1b\x80<", 9));
    stray.highlighter.html1Click();
    stray.edit.setSelStart(9);
    stray.edit.replaceSelection("\x82");
    EXPECT_EQ(stray.edit.colorAt(2), kTagColor);
    EXPECT_TRUE(stray.highlighter.TagsHighlighted());
}

}  // namespace
}  // namespace korvane
