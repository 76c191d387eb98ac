#include "tags/tag_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "edit/tag_highlighter.h"
#include "edit/tag_scanner.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

constexpr ColorValue kTagColor = 0x00FF00;

class TagCommandsTest : public ::testing::Test {
  protected:
    TagCommandsTest() : m_highlighter(m_edit), m_set(m_scripted.release()) {
        m_highlighter.setHighlightColor(kTagColor);
        // The window's change handler: the live re-colouring. It also
        // notes whether the editor could paint at each change.
        m_edit.setChangeHandler([this] {
            m_paintableAtChange.push_back(!m_edit.updatesLocked());
            m_highlighter.reMainChange();
        });
    }

    TagCommands& commands(PathStyle style = PathStyle::Posix) {
        if (!m_commands) {
            m_commands = std::make_unique<TagCommands>(
                m_edit, m_highlighter, m_set, [this] { return m_currentFile; }, style);
        }
        return *m_commands;
    }

    void run(const std::string& name) {
        for (auto& [handler, call] : commands().commands()) {
            if (handler == name) {
                call();
                return;
            }
        }
        ADD_FAILURE() << "no handler " << name;
    }

    // The editor holds before + selection + after, the selection selected.
    void select(const std::string& before, const std::string& selection, const std::string& after) {
        m_edit.setText(before + selection + after);
        m_edit.setModified(false);
        m_edit.setSelection(before.size(), before.size() + selection.size());
    }

    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    std::string m_currentFile = "Untitled";
    std::unique_ptr<TagCommands> m_commands;
    std::vector<bool> m_paintableAtChange;
};

struct CommandRow {
    const char* handler;
    std::string selection;
    std::string expected;  // what replaces the selection
};

const std::string kMidashi = "\x8C\xA9\x8F\x6F\x82\xB5";  // 見出し

const CommandRow kCommandRows[] = {
    {"B2Click", "abc", "<B>abc</B>"},
    {"B2Click", "", "<B></B>"},
    {"B2Click", kMidashi, "<B>" + kMidashi + "</B>"},
    {"I1Click", "abc", "<I>abc</I>"},
    {"N17Click", "abc", "<U>abc</U>"},
    {"S3Click", "abc", "<S>abc</S>"},
    {"T3Click", "abc", "<TT>abc</TT>"},
    {"H1Click", "index.htm", "<A href=\"index.htm\">index.htm</A>"},
    {"H1Click", "a\"b", "<A href=\"a\"b\">a\"b</A>"},
    {"H1Click", "", "<A href=\"\"></A>"},
    {"M1Click", "info@example.jp", "<A href=\"mailto:info@example.jp\">info@example.jp</A>"},
    {"M1Click", kMidashi, "<A href=\"mailto:" + kMidashi + "\">" + kMidashi + "</A>"},
    {"B3Click", "end", "end<BR>\r\n"},
    {"B3Click", "", "<BR>\r\n"},
    {"R1Click", "x", "x<HR>"},
    {"R1Click", "", "<HR>"},
    {"H1F1Click", "t", "<H1>t</H1>"},
    {"H2S1Click", "t", "<H2>t</H2>"},
    {"H3T1Click", "t", "<H3>t</H3>"},
    {"H4O1Click", "t", "<H4>t</H4>"},
    {"H5I1Click", "t", "<H5>t</H5>"},
    {"H6X1Click", "t", "<H6>t</H6>"},
    {"P6Click", "t", "<P>t</P>"},
    {"txtE1Click", "a\r\n\tb", "<PRE>a\r\n\tb</PRE>"},
    {"U2Click", "apple<BR>\r\nbanana<br>\r\ncherry",
     "<UL><LI>apple\r\n<LI>banana\r\n<LI>cherry</UL>"},
    {"U2Click", "one", "<UL><LI>one</UL>"},
    {"U2Click", "a<bR>\r\n", "<UL><LI>a\r\n<LI></UL>"},
    {"U2Click", "", "<UL><LI></UL>"},
    {"O1Click", "a\r\nb", "<OL><LI>a\r\n<LI>b</OL>"},
    {"L1Click", "t", "<DIV align=\"left\">t</DIV>"},
    {"C1Click", "t", "<CENTER>t</CENTER>"},
    {"R2Click", "t", "<DIV align=\"right\">t</DIV>"},
};

// Catches a wrong tag or attribute for any command, the caret left between
// the tags or with something selected, an insertion that takes two undo
// steps or whose undo does not give the selection back, and the modified
// flag not set. Each row runs with the tags highlighted and without.
TEST_F(TagCommandsTest, EachCommandReplacesTheSelection) {
    const std::string before = "x<P>";
    const std::string after = "</P>y";
    for (bool highlighted : {false, true}) {
        for (const auto& row : kCommandRows) {
            SCOPED_TRACE(std::string(row.handler) + " on \"" + row.selection + "\"" +
                         (highlighted ? " highlighted" : ""));
            select(before, row.selection, after);
            if (highlighted)
                m_highlighter.forceWholeTextPass();
            run(row.handler);
            EXPECT_EQ(m_edit.text(), before + row.expected + after);
            EXPECT_EQ(m_edit.selStart(), before.size() + row.expected.size());
            EXPECT_EQ(m_edit.selLength(), 0u);
            EXPECT_TRUE(m_edit.modified());
            EXPECT_EQ(m_edit.undoDepth(), 1u);

            m_edit.undo();
            EXPECT_EQ(m_edit.text(), before + row.selection + after);
            EXPECT_EQ(m_edit.selStart(), before.size());
            EXPECT_EQ(m_edit.selLength(), row.selection.size());
            EXPECT_FALSE(m_edit.canUndo());
            m_highlighter.turnOff();
        }
    }
}

// Catches inserted tags that stay uncoloured until the next keystroke, text
// between them coloured, and tags around the insertion losing their colour.
TEST_F(TagCommandsTest, HighlightedTagsShowColouredAtOnce) {
    for (const auto& row : kCommandRows) {
        SCOPED_TRACE(std::string(row.handler) + " on \"" + row.selection + "\"");
        select("x<P>", row.selection, "</P>y");
        m_highlighter.forceWholeTextPass();
        run(row.handler);
        const std::string text = m_edit.text();
        std::vector<bool> inTag(text.size(), false);
        forEachTag(text, [&inTag](TagRange tag) {
            for (std::size_t i = tag.start; i < tag.end; ++i)
                inTag[i] = true;
        });
        for (std::size_t i = 0; i < text.size(); ++i) {
            const CharColor expected = inTag[i] ? CharColor::of(kTagColor) : CharColor::autoColor();
            ASSERT_EQ(m_edit.colorAt(i), expected) << "offset " << i;
        }
        m_highlighter.turnOff();
    }
}

// Catches the interim selection of the inserted text being paintable: the
// replacement's change event and the re-colouring run while the editor
// holds its updates, and nothing stays locked afterwards.
TEST_F(TagCommandsTest, InterimSelectionIsNeverPainted) {
    select("", "abc", "");
    m_highlighter.forceWholeTextPass();
    m_paintableAtChange.clear();
    run("B2Click");
    EXPECT_EQ(m_paintableAtChange, std::vector<bool>{false});
    EXPECT_FALSE(m_edit.updatesLocked());
    EXPECT_FALSE(m_highlighter.RecolourBusy());
}

// Catches a command that replaces the selection twice (two change events,
// two undo steps), as a line break made of two replacements would.
TEST_F(TagCommandsTest, LineBreakIsOneChange) {
    select("", "end", "");
    m_paintableAtChange.clear();
    run("B3Click");
    EXPECT_EQ(m_paintableAtChange.size(), 1u);
    EXPECT_EQ(m_edit.lineFromChar(m_edit.selStart()), 1u);
    EXPECT_EQ(m_edit.selStart(), m_edit.lineIndex(1));
}

struct ImageRow {
    const char* name;
    PathStyle style;
    std::string document;
    std::string picked;
    std::string expected;  // what replaces the selection "abc"
};

// Catches the location not made relative to the document, backslashes in
// the tag, "IMG" for "IMAGE", and the selection not kept in front.
TEST_F(TagCommandsTest, SimpleImageInsertsTheLocation) {
    const ImageRow rows[] = {
        {"windows up one folder", PathStyle::Windows, "C:\\web\\diary\\index.htm",
         "C:\\web\\img\\cat.gif", "abc<IMAGE src=\"../img/cat.gif\">"},
        {"windows sub-folder", PathStyle::Windows, "C:\\web\\index.htm", "C:\\web\\img\\a.png",
         "abc<IMAGE src=\"img/a.png\">"},
        {"windows untitled", PathStyle::Windows, "Untitled", "D:\\pics\\cat.gif",
         "abc<IMAGE src=\"D:/pics/cat.gif\">"},
        {"posix sub-folder", PathStyle::Posix, "/web/index.htm", "/web/img/a.png",
         "abc<IMAGE src=\"img/a.png\">"},
        {"posix untitled", PathStyle::Posix, "Untitled", "/web/img/a.png",
         "abc<IMAGE src=\"/web/img/a.png\">"},
    };
    for (bool highlighted : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (highlighted ? " highlighted" : ""));
            m_commands.reset();
            commands(row.style);
            m_currentFile = row.document;
            select("<P>", "abc", "");
            if (highlighted)
                m_highlighter.forceWholeTextPass();
            m_scripted.odBackPicture->choose(row.picked);
            run("E1Click");
            EXPECT_EQ(m_edit.text(), "<P>" + row.expected);
            EXPECT_EQ(m_edit.selStart(), m_edit.textLength());
            m_edit.undo();
            EXPECT_EQ(m_edit.text(), "<P>abc");
            EXPECT_EQ(m_edit.selText(), "abc");
            m_highlighter.turnOff();
        }
    }
}

// A UTF-8 page: catches a picture's location (picked as a file name)
// written into it as Shift_JIS bytes, and a selection in UTF-8 cut or
// re-encoded on the way.
TEST_F(TagCommandsTest, SimpleImageInAUtf8PageIsUtf8) {
    m_edit.setCodec(utf8Codec());
    m_currentFile = "/web/index.htm";
    const std::string hangul = "\xed\x95\x9c";
    select("<P>", hangul, "");
    m_scripted.odBackPicture->choose("/web/\xe7\x94\xbb.gif");  // 画.gif, as the dialog names it
    run("E1Click");
    EXPECT_EQ(m_edit.text(), "<P>" + hangul + "<IMAGE src=\"\xe7\x94\xbb.gif\">");
}

// Catches the dialog proposing the last picture (it must start with no
// name each time) and the wrong filter.
TEST_F(TagCommandsTest, SimpleImageDialogStartsEmpty) {
    m_currentFile = "/web/index.htm";
    select("", "", "");
    m_scripted.odBackPicture->choose("/web/a.gif");
    m_scripted.odBackPicture->choose("/web/b.gif");
    run("E1Click");
    run("E1Click");
    ASSERT_EQ(m_scripted.odBackPicture->shown().size(), 2u);
    EXPECT_EQ(m_scripted.odBackPicture->shown()[1].fileName, "");
    const auto& filters = m_scripted.odBackPicture->shown()[1].filters;
    ASSERT_EQ(filters.size(), 5u);
    EXPECT_EQ(filters[0].description, "画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif)");
    EXPECT_EQ(m_edit.text(), "<IMAGE src=\"a.gif\"><IMAGE src=\"b.gif\">");
}

// Catches a cancelled pick that still inserts, and a name Shift_JIS cannot
// hold written mangled instead of refused with a message naming it.
TEST_F(TagCommandsTest, SimpleImageCancelAndRefusal) {
    m_currentFile = "/web/index.htm";
    select("", "abc", "");
    m_scripted.odBackPicture->cancel();
    run("E1Click");
    EXPECT_EQ(m_edit.text(), "abc");
    EXPECT_FALSE(m_edit.canUndo());

    const std::string unwritable = "/web/\xEB\x82\x98.gif";
    m_scripted.odBackPicture->choose(unwritable);
    run("E1Click");
    EXPECT_EQ(m_edit.text(), "abc");
    EXPECT_FALSE(m_edit.modified());
    ASSERT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_NE(m_scripted.messages->errors()[0].find(unwritable), std::string::npos);
}

// Catches the item's availability decided once instead of on every
// opening of its menu and every change of the document's name, a comparison
// that folds case, and the tool button and the menu item apart: the button
// left on for an unnamed document, or set by a save only.
TEST_F(TagCommandsTest, SimpleImageFollowsTheDocumentName) {
    std::map<std::string, std::vector<bool>> told;
    commands().setEnabler(
        [&told](const std::string& name, bool enabled) { told[name].push_back(enabled); });
    EXPECT_FALSE(commands().ToolButton29Enabled());
    EXPECT_FALSE(commands().E1Enabled());
    struct Row {
        const char* file;
        bool menuOpened;  // else the name changed
        bool available;
    };
    const Row rows[] = {
        {"Untitled", true, false},  {"/web/index.htm", true, true}, {"untitled", false, true},
        {"Untitled", false, false}, {"/web/a.htm", false, true},    {"Untitled", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.menuOpened ? ", menu opened" : ", renamed"));
        m_currentFile = row.file;
        if (row.menuOpened)
            run("html2T1Click");
        else
            commands().followDocumentName();
        EXPECT_EQ(commands().E1Enabled(), row.available);
        EXPECT_EQ(commands().ToolButton29Enabled(), row.available);
        EXPECT_EQ(told["E1"].back(), row.available);
        EXPECT_EQ(told["ToolButton29"].back(), row.available);
    }
    EXPECT_EQ(told["E1"].size(), std::size(rows));
    EXPECT_EQ(told["ToolButton29"].size(), std::size(rows));
}

// Catches a dialog command that shows the wrong dialog or none.
TEST_F(TagCommandsTest, DialogCommandsShowTheirDialogs) {
    std::vector<std::string> shown;
    commands().setDialogShowers({
        [&shown] { shown.push_back("TfFont"); },
        [&shown] { shown.push_back("TfNrLink"); },
        [&shown] { shown.push_back("TfLink"); },
        [&shown] { shown.push_back("TfImage"); },
    });
    for (const char* handler : {"F2Click", "N19Click", "P7Click", "I2Click"})
        run(handler);
    EXPECT_EQ(shown, (std::vector<std::string>{"TfFont", "TfNrLink", "TfLink", "TfImage"}));
    EXPECT_EQ(m_edit.text(), "");
}

// Catches a handler missing from the table the window registers, or
// registered twice.
TEST_F(TagCommandsTest, CommandTableNamesEveryHandler) {
    std::vector<std::string> names;
    for (const auto& [name, call] : commands().commands()) {
        names.push_back(name);
        EXPECT_TRUE(call) << name;
    }
    const std::vector<std::string> expected = {
        "B2Click",   "I1Click",   "N17Click",  "S3Click",     "T3Click",    "H1Click",
        "M1Click",   "B3Click",   "R1Click",   "H1F1Click",   "H2S1Click",  "H3T1Click",
        "H4O1Click", "H5I1Click", "H6X1Click", "P6Click",     "txtE1Click", "U2Click",
        "O1Click",   "L1Click",   "C1Click",   "R2Click",     "F2Click",    "N19Click",
        "P7Click",   "E1Click",   "I2Click",   "html2T1Click"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
}

}  // namespace
}  // namespace korvane
