// The tag commands on the Qt editor: what the in-memory control promises
// about undo and colour has to hold on the real one too.
#include <gtest/gtest.h>

#include <QApplication>

#include <string>

#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "tags/tag_commands.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

constexpr ColorValue kTagColor = 0x00FF00;
const std::string kMidashi = "\x8C\xA9\x8F\x6F\x82\xB5";  // 見出し

struct Row {
    const char* handler;
    std::string selection;
    std::string expected;
};

// Catches an insertion that takes more than one undo step on the Qt editor
// (the line break as two replacements, the colouring recorded as edits), an
// undo that does not select the text it brought back, and inserted tags
// left uncoloured until the next keystroke; and a redo that colours only
// the tag at the caret behind what it brought back.
TEST(TagCommandsOnRichEdit, OneUndoStepAndColouredTags) {
    const Row rows[] = {
        {"B2Click", kMidashi, "<B>" + kMidashi + "</B>"},
        {"B2Click", "", "<B></B>"},
        {"B3Click", "end", "end<BR>\r\n"},
        {"U2Click", "a<bR>\r\nb\r\n", "<UL><LI>a\r\n<LI>b\r\n<LI></UL>"},
        {"H1Click", "a\"b", "<A href=\"a\"b\">a\"b</A>"},
        {"R1Click", "x", "x<HR>"},
    };
    RichEdit edit;
    edit.resize(600, 300);
    edit.show();
    TagHighlighter highlighter(edit);
    highlighter.setHighlightColor(kTagColor);
    edit.setChangeHandler([&highlighter] { highlighter.reMainChange(); });
    test::ScriptedDialogs scripted;
    CommonDialogs set = scripted.release();
    TagCommands commands(edit, highlighter, set, [] { return std::string("Untitled"); });
    const auto table = commands.commands();
    auto run = [&table](const std::string& name) {
        for (const auto& [handler, call] : table) {
            if (handler == name)
                call();
        }
    };
    const std::string before = "x<P>\r\n";
    for (bool highlighted : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.handler) + (highlighted ? " highlighted" : ""));
            edit.setText(before + row.selection + "</P>");
            edit.setSelection(before.size(), before.size() + row.selection.size());
            if (highlighted)
                highlighter.forceWholeTextPass();
            run(row.handler);
            QApplication::processEvents();
            EXPECT_EQ(edit.text(), before + row.expected + "</P>");
            EXPECT_EQ(edit.selStart(), before.size() + row.expected.size());
            EXPECT_EQ(edit.selLength(), 0u);
            const CharColor tagColor =
                highlighted ? CharColor::of(kTagColor) : CharColor::autoColor();
            const auto expectColouredTags = [&] {
                EXPECT_EQ(edit.colorAt(before.size()),
                          row.expected[0] == '<' ? tagColor : CharColor::autoColor());
                EXPECT_EQ(edit.colorAt(before.size() + row.expected.size() - 1),
                          row.expected.back() == '>' ? tagColor : CharColor::autoColor());
            };
            expectColouredTags();

            edit.undo();
            QApplication::processEvents();
            EXPECT_EQ(edit.text(), before + row.selection + "</P>");
            EXPECT_EQ(edit.selStart(), before.size());
            EXPECT_EQ(edit.selLength(), row.selection.size());
            EXPECT_FALSE(edit.canUndo());

            edit.redo();
            QApplication::processEvents();
            EXPECT_EQ(edit.text(), before + row.expected + "</P>");
            EXPECT_EQ(edit.selStart(), before.size() + row.expected.size());
            EXPECT_EQ(edit.selLength(), 0u);
            expectColouredTags();
            highlighter.turnOff();
        }
    }
}

}  // namespace
}  // namespace korvane
