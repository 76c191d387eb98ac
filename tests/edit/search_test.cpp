#include "edit/search.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "edit/tag_highlighter.h"
#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

using test::MemoryEditControl;

constexpr ColorValue kTag = 0x0000FF;

// Shift_JIS pieces.
const std::string kKatakanaA = "\x83\x41";   // ア: its second byte is "A"
const std::string kWideUpperA = "\x82\x60";  // Ａ
const std::string kWideLowerA = "\x82\x81";  // ａ
const std::string kWideUpperB = "\x82\x61";  // Ｂ
const std::string kHiraganaA = "\x82\xa0";   // あ
const std::string kAlpha = "\x83\xbf";       // α (a Greek letter: never folded)
const std::string kAlphaUpper = "\x83\x9f";  // Α

// The find dialog as the search sees it: its match-case box and whether it
// was asked to show.
class FakeFindDialog : public FindDialogPort {
  public:
    void showFindDialog() override { ++shown; }
    bool matchCaseTicked() const override { return matchCase; }
    bool matchCase = false;
    int shown = 0;
};

class FakeReplaceDialog : public ReplaceDialogPort {
  public:
    void showReplaceDialog() override { ++shown; }
    int shown = 0;
};

struct Fixture {
    explicit Fixture(std::string_view text) : edit(text), highlighter(edit), search(edit) {
        highlighter.setHighlightColor(kTag);
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
        search.setDialogs(&findDialog, &replaceDialog);
        search.registerCommands(commands);
    }
    void caret(std::size_t at) { edit.setSelStart(at); }
    std::size_t caretAt() const { return edit.selStart(); }

    MemoryEditControl edit;
    TagHighlighter highlighter;
    Search search;
    FakeFindDialog findDialog;
    FakeReplaceDialog replaceDialog;
    CommandTable commands;
};

// One letter per byte: 'T' in the tag colour, '.' automatic.
std::string colours(const MemoryEditControl& edit) {
    std::string out;
    for (std::size_t i = 0; i < edit.textLength(); ++i)
        out += edit.colorAt(i).automatic ? '.' : 'T';
    return out;
}

// Catches a find-up that steps on by one byte instead of the search text's
// length, and so selects the overlapping occurrence at 1.
TEST(FindUp, SkipsTheOccurrenceThatOverlapsThePreviousOne) {
    Fixture f("aaa");
    f.caret(3);
    f.search.FdmainFind("aa", false);
    EXPECT_TRUE(f.search.LastFindFound());
    EXPECT_EQ(f.edit.selStart(), 0u);
    EXPECT_EQ(f.edit.selLength(), 2u);
}

// Catches searches that start from the wrong end of the selection, that
// wrap round the ends, or that move the selection when nothing is found.
TEST(Find, StartsAtTheSelectionAndNeverWraps) {
    struct Row {
        const char* name;
        std::size_t selStart;
        std::size_t selEnd;
        bool down;
        bool found;
        std::size_t expectStart;  // selection afterwards
        std::size_t expectEnd;
    };
    // "ab ab ab": occurrences at 0, 3 and 6.
    const Row rows[] = {
        {"down from the caret", 1, 1, true, true, 3, 5},
        {"down from the end of a selection", 3, 5, true, true, 6, 8},
        {"down after the last keeps the selection", 6, 8, true, false, 6, 8},
        {"down at the end does not wrap", 8, 8, true, false, 8, 8},
        {"up from the start of a selection", 6, 8, false, true, 3, 5},
        {"up ends at or before the selection start", 4, 8, false, true, 0, 2},
        {"up before the first keeps the selection", 0, 2, false, false, 0, 2},
        {"up at the start does not wrap", 0, 0, false, false, 0, 0},
    };
    for (const Row& row : rows) {
        Fixture f("ab ab ab");
        f.edit.setSelection(row.selStart, row.selEnd);
        f.search.FdmainFind("ab", row.down);
        EXPECT_EQ(f.search.LastFindFound(), row.found) << row.name;
        EXPECT_EQ(f.edit.selStart(), row.expectStart) << row.name;
        EXPECT_EQ(f.edit.selStart() + f.edit.selLength(), row.expectEnd) << row.name;
        EXPECT_TRUE(f.edit.hasFocus()) << row.name << ": found or not, the editor has the focus";
        EXPECT_EQ(f.search.SearchText(), "ab") << row.name;
    }
}

// Catches F3 and Shift+F3 that search (and move the focus) before anything
// was searched for.
TEST(FindCommands, DoNothingBeforeTheFirstSearch) {
    for (const char* command : {"P3Click", "U1Click", "N12Click", "N16Click"}) {
        Fixture f("abc");
        f.edit.setSelection(1, 2);
        f.edit.clearWindowCalls();
        ASSERT_TRUE(f.commands.run(command)) << command;
        EXPECT_EQ(f.edit.windowCalls().focus, 0) << command;
        EXPECT_EQ(f.edit.windowCalls().scrollCaret, 0) << command;
        EXPECT_EQ(f.edit.selStart(), 1u) << command;
        EXPECT_EQ(f.edit.selLength(), 1u) << command;
    }
}

// Catches the repeat commands mixed up between the modes' names, or taking
// the direction from the dialog instead of the command.
TEST(FindCommands, RepeatTheLastSearchInTheirOwnDirection) {
    struct Row {
        const char* command;
        std::size_t expectStart;
    };
    // "x x x x" with the second x selected: up finds 0, down finds 4.
    const Row rows[] = {{"P3Click", 0}, {"U1Click", 0}, {"N12Click", 4}, {"N16Click", 4}};
    for (const Row& row : rows) {
        Fixture f("x x x x");
        f.caret(2);
        f.search.FdmainFind("x", false);  // the dialog searched up: selects 0
        f.edit.setSelection(2, 3);
        ASSERT_TRUE(f.commands.run(row.command)) << row.command;
        EXPECT_TRUE(f.search.LastFindFound()) << row.command;
        EXPECT_EQ(f.edit.selStart(), row.expectStart) << row.command;
    }
}

// Catches case folding that is too wide (Greek, hiragana) or too narrow
// (full-width letters), and a match-case box that stops counting once the
// dialog is closed.
TEST(Find, MatchCaseFollowsTheFindDialogsBox) {
    struct Row {
        const char* name;
        std::string text;
        std::string what;
        bool matchCase;
        bool found;
    };
    const Row rows[] = {
        {"ASCII, case ignored", "xabcx", "ABC", false, true},
        {"ASCII, match case", "xabcx", "ABC", true, false},
        {"ASCII, same case", "xABCx", "ABC", true, true},
        {"full-width, case ignored", "x" + kWideLowerA + "x", kWideUpperA, false, true},
        {"full-width, match case", "x" + kWideLowerA + "x", kWideUpperA, true, false},
        {"full-width and ASCII differ", "xAx", kWideUpperA, false, false},
        {"Greek is not folded", "x" + kAlpha + "x", kAlphaUpper, false, false},
    };
    for (const Row& row : rows) {
        Fixture f(row.text);
        f.search.FdmainFind(row.what, true);  // sets the search text
        f.findDialog.matchCase = row.matchCase;
        f.caret(0);
        ASSERT_TRUE(f.commands.run("N12Click"));  // the dialog is closed meanwhile
        EXPECT_EQ(f.search.LastFindFound(), row.found) << row.name;
        f.caret(f.edit.textLength());
        ASSERT_TRUE(f.commands.run("P3Click"));
        EXPECT_EQ(f.search.LastFindFound(), row.found) << row.name << " (up)";
    }
}

// Catches a byte search that matches across a character boundary: the
// second byte of ア is "A", and two characters' inner bytes look like one.
TEST(Find, NeverMatchesAcrossACharacterBoundary) {
    struct Row {
        const char* name;
        std::string text;
        std::string what;
        bool found;
        std::size_t at;
    };
    const Row rows[] = {
        {"a single byte that is a second byte", kKatakanaA + "x", "A", false, 0},
        {"ignoring case too", kKatakanaA + "x", "a", false, 0},
        {"the bytes of two characters' join", kKatakanaA + kKatakanaA, "\x41\x83", false, 0},
        {"a double-byte after a second byte", kKatakanaA + "A" + kHiraganaA, "A" + kHiraganaA, true,
         2},
        {"full-width pair, folded", kHiraganaA + kWideUpperA + kWideUpperB,
         kWideLowerA + kWideUpperB, true, 2},
    };
    for (const Row& row : rows) {
        for (bool down : {true, false}) {
            Fixture f(row.text);
            f.caret(down ? 0 : f.edit.textLength());
            f.search.FdmainFind(row.what, down);
            EXPECT_EQ(f.search.LastFindFound(), row.found) << row.name << (down ? "" : " (up)");
            if (row.found) {
                EXPECT_EQ(f.edit.selStart(), row.at) << row.name;
            }
        }
    }
}

// Catches an empty search text that reports an occurrence (find-up and
// replace-all would loop for ever) or changes the text.
TEST(Search, EmptyTextFindsNothingAndEnds) {
    Fixture f("abc");
    f.edit.setSelection(1, 2);
    f.search.FdmainFind("", true);
    EXPECT_FALSE(f.search.LastFindFound());
    f.search.FdmainFind("", false);
    EXPECT_FALSE(f.search.LastFindFound());
    f.search.replaceNext("", "x", false, false);
    f.search.replaceAll("", "x", false, false);
    f.search.replaceAll("", "x", false, true);
    EXPECT_FALSE(f.search.LastFindFound());
    EXPECT_EQ(f.edit.text(), "abc");
    EXPECT_EQ(f.edit.selStart(), 1u);
    EXPECT_EQ(f.edit.selLength(), 1u);
}

// Catches the replace loop's faults: the wrong caret after an upward
// replacement, the other side of the caret replaced, a replacement searched
// again (endless with «a» -> «aa»), an empty replacement mishandled.
TEST(Replace, ReplacesInOneDirectionFromTheCaret) {
    struct Row {
        const char* name;
        std::string text;
        std::size_t caret;
        std::string pre;
        std::string after;
        bool up;
        bool all;
        std::string expect;
        std::size_t caretAfter;
    };
    const Row rows[] = {
        {"all down from 0", "a-b-a", 0, "a", "xy", false, true, "xy-b-xy", 7},
        {"OK up from the end", "a-b-a", 5, "a", "xy", true, false, "a-b-xy", 4},
        {"all down from the middle", "a-b-a", 2, "a", "xy", false, true, "a-b-xy", 6},
        {"all up from the end", "a-b-a", 5, "a", "xy", true, true, "xy-b-xy", 0},
        {"all up from the middle", "a-b-a", 2, "a", "xy", true, true, "xy-b-a", 0},
        {"OK down", "a-b-a", 0, "a", "xy", false, false, "xy-b-a", 2},
        {"empty replacement, down", "a-b-a", 0, "a", "", false, true, "-b-", 3},
        {"empty replacement, up", "a-b-a", 5, "a", "", true, true, "-b-", 0},
        {"replacement holds the text, down", "a-b-a", 0, "a", "aa", false, true, "aa-b-aa", 7},
        {"replacement holds the text, up", "a-b-a", 5, "a", "aa", true, true, "aa-b-aa", 0},
        {"nothing found", "a-b-a", 0, "z", "xy", false, true, "a-b-a", 0},
        {"case ignored", "A-b-a", 0, "a", "x", false, true, "x-b-x", 5},
        {"double-byte replacement, up", "a" + kHiraganaA + "a", 4, "a", kHiraganaA, true, true,
         kHiraganaA + kHiraganaA + kHiraganaA, 0},
    };
    for (const Row& row : rows) {
        Fixture f(row.text);
        f.caret(row.caret);
        if (row.all)
            f.search.replaceAll(row.pre, row.after, false, row.up);
        else
            f.search.replaceNext(row.pre, row.after, false, row.up);
        EXPECT_EQ(f.edit.text(), row.expect) << row.name;
        EXPECT_EQ(f.caretAt(), row.caretAfter) << row.name;
        EXPECT_EQ(f.edit.selLength(), 0u) << row.name;
        EXPECT_EQ(f.search.SearchText(), row.pre) << row.name << ": F3 repeats this search";
        EXPECT_FALSE(f.search.LastFindFound() && row.all) << row.name << ": all ends on a miss";
    }
}

// Catches match case of the replace dialog ignored, or the find dialog's box
// used in its place.
TEST(Replace, MatchCaseIsTheReplaceDialogsOwn) {
    Fixture f("A-a");
    f.findDialog.matchCase = false;
    f.search.replaceAll("a", "x", true, false);
    EXPECT_EQ(f.edit.text(), "A-x");
    Fixture g("A-a");
    g.findDialog.matchCase = true;
    g.search.replaceAll("a", "x", false, false);
    EXPECT_EQ(g.edit.text(), "x-x");
}

// Catches a selection that is not an occurrence being replaced when the
// search finds nothing.
TEST(Replace, LeavesASelectionAloneWhenNothingIsFound) {
    Fixture f("abc abc");
    f.edit.setSelection(4, 7);
    f.search.replaceNext("abc", "X", false, false);
    EXPECT_EQ(f.edit.text(), "abc abc");
    EXPECT_EQ(f.edit.selStart(), 4u);
    EXPECT_EQ(f.edit.selLength(), 3u);
    EXPECT_FALSE(f.search.LastFindFound());
}

// Catches a replace-all that leaves one undo step per replacement, so one
// Ctrl+Z gives back only the last of them.
TEST(Replace, AllIsOneUndoStep) {
    for (bool up : {false, true}) {
        Fixture f("a-b-a-c-a");
        f.edit.setModified(false);
        f.caret(up ? 9 : 0);
        f.search.replaceAll("a", "xyz", false, up);
        EXPECT_EQ(f.edit.text(), "xyz-b-xyz-c-xyz");
        EXPECT_TRUE(f.edit.modified());
        EXPECT_TRUE(f.edit.redrawOn()) << "the editor paints again afterwards";
        f.edit.undo();
        EXPECT_EQ(f.edit.text(), "a-b-a-c-a") << (up ? "up" : "down");
        EXPECT_FALSE(f.edit.canUndo()) << (up ? "up" : "down");
    }
}

// Catches a replace-all whose colours differ from those the same
// replacements made one by one (OK after OK) leave: every replacement is
// followed by the live re-colouring around it.
TEST(Replace, AllColoursTagsAsOneReplacementAfterAnother) {
    struct Row {
        const char* name;
        std::string text;
        std::string pre;
        std::string after;
        bool up;
    };
    const Row rows[] = {
        {"text into a tag", "<p>b</p> b <i>b</i>", "b", "<u>", false},
        {"tag into text", "<b>x</b><b>y</b>", "<b>", "B", false},
        {"opens a tag", "a <i> a </i> a", "a", "<", false},
        {"closes a tag, up", "a <i a> a", "a", ">", true},
        {"tag names, up", "<b>x</b> <b>y</b>", "b", "strong", true},
    };
    for (const Row& row : rows) {
        Fixture all(row.text);
        Fixture one(row.text);
        for (Fixture* f : {&all, &one}) {
            f->highlighter.html1Click();
            f->caret(row.up ? f->edit.textLength() : 0);
        }
        all.search.replaceAll(row.pre, row.after, false, row.up);
        for (int guard = 0; guard < 100; ++guard) {
            one.search.replaceNext(row.pre, row.after, false, row.up);
            if (!one.search.LastFindFound())
                break;
        }
        EXPECT_EQ(all.edit.text(), one.edit.text()) << row.name;
        EXPECT_EQ(colours(all.edit), colours(one.edit)) << row.name;
        EXPECT_EQ(all.caretAt(), one.caretAt()) << row.name;
    }
    Fixture f("<p>b</p> b");
    f.highlighter.html1Click();
    f.search.replaceAll("b", "<u>", false, false);
    EXPECT_EQ(f.edit.text(), "<p><u></p> <u>");
    EXPECT_EQ(colours(f.edit), "TTTTTTTTTT.TTT") << "the new tags are coloured";
}

// Catches the dialog commands not reaching their dialogs under every name.
TEST(SearchCommands, ShowTheDialogs) {
    Fixture f("");
    for (const char* name : {"Find1Click", "Find4Click"})
        ASSERT_TRUE(f.commands.run(name)) << name;
    for (const char* name : {"Replace1Click", "Replace2Click"})
        ASSERT_TRUE(f.commands.run(name)) << name;
    EXPECT_EQ(f.findDialog.shown, 2);
    EXPECT_EQ(f.replaceDialog.shown, 2);
}

// The dialogs' fields and the settings keep Shift_JIS: catches a search
// or a replacement that hands those bytes to an editor in UTF-8 or EUC-JP
// as they are (nothing found, or Shift_JIS bytes written into the page), or
// selects as many bytes as the Shift_JIS text has.
TEST(SearchInCodec, DialogTextIsSearchedAndWrittenInTheEditorsCodec) {
    const std::string sjisNihon = "\x93\xfa\x96\x7b";  // 日本
    const std::string sjisGo = "\x8c\xea";             // 語
    for (const TextCodec* codec : {&utf8Codec(), &eucJpCodec()}) {
        SCOPED_TRACE(std::string(codec->charsetName()));
        const std::string nihon = codec->fromUtf8("\xe6\x97\xa5\xe6\x9c\xac").bytes;
        const std::string go = codec->fromUtf8("\xe8\xaa\x9e").bytes;
        MemoryEditControl edit;
        edit.setCodec(*codec);
        edit.setText("a" + nihon + "b" + nihon);
        Search search(edit);

        search.FdmainFind(sjisNihon, true);
        EXPECT_TRUE(search.LastFindFound());
        EXPECT_EQ(edit.selStart(), 1u);
        EXPECT_EQ(edit.selText(), nihon);
        search.FdmainFind(sjisNihon, false);
        EXPECT_FALSE(search.LastFindFound()) << "nothing before the first";
        edit.setSelStart(edit.textLength());
        search.P3Click();
        EXPECT_EQ(edit.selStart(), 2 + nihon.size());

        edit.setSelStart(0);
        search.replaceNext(sjisNihon, sjisGo, true, false);
        EXPECT_EQ(edit.text(), "a" + go + "b" + nihon);
        search.replaceAll(sjisNihon, "<" + sjisGo + ">", true, false);
        EXPECT_EQ(edit.text(), "a" + go + "b<" + go + ">");
        EXPECT_EQ(search.SearchText(), sjisNihon) << "the search text stays the dialog's";
    }
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Catches a search that finds nothing without saying so, one that says so
// when it found something, a replace-all that miscounts or stays silent, a
// message with the search text in Shift_JIS bytes, and a message that moves
// the focus or the selection.
TEST(SearchMessages, SayWhatHappenedInTheStatusLine) {
    const std::string kJapanese = "\x93\xfa\x96\x7b";  // 日本
    struct Row {
        const char* name;
        std::string text;
        std::size_t caret;
        std::function<void(Fixture&)> act;
        std::string message;  // "" : none
        std::string textAfter;
    };
    const Row rows[] = {
        {"find dialog, nothing below", "abc abc", 5,
         [](Fixture& f) { f.search.FdmainFind("abc", true); }, "「abc」が見つかりません",
         "abc abc"},
        {"find dialog, found", "abc abc", 1, [](Fixture& f) { f.search.FdmainFind("abc", true); },
         "", "abc abc"},
        {"find dialog up, Japanese text", "abc", 3,
         [&](Fixture& f) { f.search.FdmainFind(kJapanese, false); }, "「日本」が見つかりません",
         "abc"},
        {"F3 past the last", "xy xy", 4,
         [](Fixture& f) {
             f.search.FdmainFind("xy", true);
             f.commands.run("N12Click");
         },
         "「xy」が見つかりません", "xy xy"},
        {"Shift+F3 before the first", "xy xy", 0,
         [](Fixture& f) {
             f.search.FdmainFind("xy", false);
             f.commands.run("U1Click");
         },
         "「xy」が見つかりません", "xy xy"},
        {"F3 before any search", "xy", 0, [](Fixture& f) { f.commands.run("N16Click"); }, "", "xy"},
        {"replace-all counts", "a-b-a-a", 0,
         [](Fixture& f) { f.search.replaceAll("a", "xy", false, false); }, "3 個置換しました",
         "xy-b-xy-xy"},
        {"replace-all finds none", "a-b-a", 0,
         [](Fixture& f) { f.search.replaceAll("c", "xy", false, false); }, "「c」が見つかりません",
         "a-b-a"},
        {"replace OK finds none", "a-b-a", 5,
         [](Fixture& f) { f.search.replaceNext("a", "xy", false, false); }, "「a」が見つかりません",
         "a-b-a"},
    };
    for (const Row& row : rows) {
        Fixture f(row.text);
        std::vector<std::string> messages;
        f.search.setStatusReporter([&](const std::string& m) { messages.push_back(m); });
        f.caret(row.caret);
        row.act(f);
        EXPECT_EQ(f.edit.text(), row.textAfter) << row.name;
        if (row.message.empty()) {
            EXPECT_TRUE(messages.empty()) << row.name << ": " << messages.front();
        } else {
            ASSERT_FALSE(messages.empty()) << row.name;
            EXPECT_EQ(messages.back(), row.message) << row.name;
        }
    }
}

}  // namespace
}  // namespace korvane
