// Replace-all on the real editor, which takes its edits in one document
// block while it does not show, against the same replacements made one at a
// time on the in-memory editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cstring>
#include <string>

#include "edit/search.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

constexpr ColorValue kTag = 0x0000FF;

std::string colours(const EditControl& edit) {
    std::string out;
    for (std::size_t i = 0; i < edit.textLength(); ++i)
        out += edit.colorAt(i).automatic ? '.' : 'T';
    return out;
}

// Catches the editor's batched edits drifting from what the edits one by one
// give: text, tag colours, caret, and one undo for the lot.
TEST(SearchOnRichEdit, ReplaceAllMatchesOneReplacementAfterAnother) {
    struct Row {
        const char* name;
        std::string text;
        std::string pre;
        std::string after;
        bool up;
    };
    const Row rows[] = {
        {"tags into text, down", "<p>b</p> b\r\n<i>b</i>\r\nb", "b", "<u>x</u>", false},
        {"double-byte over lines, up", "a\r\nb a\r\n<a>a</a>", "a", "\x82\xa0<br>", true},
        {"line breaks inserted, up", "a<b>a</b>a", "a", "x\r\n<y>", true},
        {"a tag opened, down", "x <i> x </i> x", "x", "<", false},
        {"lines joined, down", "<b>\r\n</b>\r\n<b>", "\r\n", "", false},
    };
    for (const Row& row : rows) {
        RichEdit rich;
        rich.resize(1200, 400);
        rich.show();
        test::MemoryEditControl memory;
        for (EditControl* e :
             {static_cast<EditControl*>(&rich), static_cast<EditControl*>(&memory)})
            e->setText(row.text);
        TagHighlighter richTags(rich);
        TagHighlighter memoryTags(memory);
        for (TagHighlighter* h : {&richTags, &memoryTags}) {
            h->setHighlightColor(kTag);
            h->html1Click();
        }
        rich.setChangeHandler([&richTags] { richTags.reMainChange(); });
        memory.setChangeHandler([&memoryTags] { memoryTags.reMainChange(); });
        rich.setSelStart(row.up ? rich.textLength() : 0);
        memory.setSelStart(row.up ? memory.textLength() : 0);

        Search all(rich);
        all.replaceAll(row.pre, row.after, false, row.up);
        Search one(memory);
        for (int guard = 0; guard < 50; ++guard) {
            one.replaceNext(row.pre, row.after, false, row.up);
            if (!one.LastFindFound())
                break;
        }
        EXPECT_EQ(rich.text(), memory.text()) << row.name;
        EXPECT_EQ(colours(rich), colours(memory)) << row.name;
        EXPECT_EQ(rich.selStart(), memory.selStart()) << row.name;
        rich.undo();
        EXPECT_EQ(rich.text(), row.text) << row.name << ": one undo";
    }
}

// A search that starts from a caret set but not yet shown reads it and moves
// on: catches the view taken to that caret first, with the text around it
// laid out for nothing and a flash of it, before it jumps to the find.
TEST(SearchOnRichEdit, FindFromAnUnshownCaretGoesStraightToTheFind) {
    std::string text = "word\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "a line between the two ends\r\n";
    text += "word";
    const std::size_t lineBytes = std::strlen("a line between the two ends\r\n");
    struct Row {
        bool up;
        int caretLine;  // where the caret is set, never shown
        std::size_t found;
    };
    const Row rows[] = {
        {true, 1500, 0},
        {false, 500, text.size() - 4},
    };
    for (const Row& row : rows) {
        RichEdit edit;
        edit.resize(400, 300);
        edit.show();
        edit.setText(text);
        // The view stands in the middle, away from the caret and the find.
        edit.setSelStart(text.size() / 2);
        edit.scrollCaret();
        QApplication::processEvents();
        edit.setSelStart(6 + static_cast<std::size_t>(row.caretLine - 1) * lineBytes);
        Search search(edit);
        search.FdmainFind("word", !row.up);
        QApplication::processEvents();
        ASSERT_TRUE(search.LastFindFound()) << row.up;
        EXPECT_EQ(edit.selStart(), row.found) << row.up;
        const QTextBlock caretBlock = edit.document()->findBlockByNumber(row.caretLine);
        EXPECT_EQ(caretBlock.layout()->lineCount(), 0) << row.up;
    }
}

}  // namespace
}  // namespace korvane
