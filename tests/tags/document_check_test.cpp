// The page check of the editor's document, over the in-memory editor and a
// made-up folder.
#include "tags/document_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_page_files.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/recording_progress.h"

namespace korvane {
namespace {

std::vector<std::string> kinds(const PageCheckResult& result) {
    std::vector<std::string> names;
    for (const Finding& finding : result.findings)
        names.emplace_back(kindName(finding.kind));
    return names;
}

struct Row {
    const char* name;
    std::string text;
    std::string currentFile;
    TextEncoding encoding;
    std::string background;
    std::vector<std::string> expected;
};

// Catches the check reading something else than the editor's text as it is
// now, a document without a file checked as if it had one (or the other way
// round), and the window's encoding or background picture not taken.
TEST(DocumentCheck, ChecksWhatTheWindowHolds) {
    const std::string utf8Meta = "<META charset=\"UTF-8\">";
    const std::vector<Row> rows = {
        {"a named page",
         "<A href=\"gone.htm\">x</A>",
         "/site/a.htm",
         TextEncoding::ShiftJis,
         "",
         {"missing-file"}},
        {"an untitled page",
         "<A href=\"gone.htm\">x</A>",
         "Untitled",
         TextEncoding::ShiftJis,
         "",
         {"not-saved"}},
        {"a file beside the named page",
         "<A href=\"a.htm\">x</A>",
         "/site/a.htm",
         TextEncoding::ShiftJis,
         "",
         {}},
        {"UTF-8 as the window says", utf8Meta, "/site/a.htm", TextEncoding::Utf8, "", {}},
        {"Shift_JIS as the window says",
         utf8Meta,
         "/site/a.htm",
         TextEncoding::ShiftJis,
         "",
         {"charset-mismatch"}},
        {"the held background",
         "<BODY background=\"/home/b.gif\">",
         "/site/a.htm",
         TextEncoding::ShiftJis,
         "/home/b.gif",
         {}},
        {"no held background",
         "<BODY background=\"/home/b.gif\">",
         "/site/a.htm",
         TextEncoding::ShiftJis,
         "",
         {"local-path"}},
    };
    const test::FakePageFiles files({{"/site/a.htm", ""}, {"/home/b.gif", "GIF89a"}});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::MemoryEditControl edit("old text");
        const DocumentCheck check(
            edit, files,
            {[&row] { return row.currentFile; }, [&row] { return row.encoding; },
             [&row] { return row.background; }});
        edit.setText(row.text);
        EXPECT_EQ(kinds(check.run()), row.expected);
    }
}

// Catches a check that shows no progress, cannot be stopped, or changes
// the text, its selection or its modified flag.
TEST(DocumentCheck, ShowsItsProgressAndChangesNothing) {
    std::string text = "<B>";
    while (text.size() < 4 * kPageCheckReportBytes)
        text += "<P>abc\r\n";
    test::MemoryEditControl edit(text);
    edit.setSelection(3, 5);
    edit.setModified(false);
    const test::FakePageFiles files({});
    DocumentCheck check(edit, files,
                        {[] { return std::string("/site/a.htm"); },
                         [] { return TextEncoding::ShiftJis; }, [] { return std::string(); }});
    test::RecordingProgressDisplay display;
    check.setProgressDisplay(&display);
    EXPECT_TRUE(check.run().complete);
    ASSERT_EQ(display.works.size(), 1u);
    EXPECT_EQ(display.works[0].caption, kCheckingCaption);
    EXPECT_TRUE(display.works[0].cancellable);
    EXPECT_FALSE(display.works[0].reports.empty());
    display.stop = true;
    EXPECT_FALSE(check.run().complete);
    EXPECT_EQ(edit.text(), text);
    EXPECT_EQ(edit.selStart(), 3u);
    EXPECT_EQ(edit.selLength(), 2u);
    EXPECT_FALSE(edit.modified());
}

// Catches going to a finding without selecting its place, scrolling it
// into view or focusing the editor, and a place past the end of a text
// edited since the check selecting nothing sensible.
TEST(DocumentCheck, GoesToAFinding) {
    test::MemoryEditControl edit("abc<B>def");
    const test::FakePageFiles files({});
    const DocumentCheck check(edit, files, {[] { return std::string("Untitled"); }, {}, {}});
    Finding finding;
    finding.offset = 3;
    finding.length = 3;
    check.goTo(finding);
    EXPECT_EQ(edit.selStart(), 3u);
    EXPECT_EQ(edit.selLength(), 3u);
    EXPECT_EQ(edit.windowCalls().scrollCaret, 1);
    EXPECT_EQ(edit.windowCalls().focus, 1);

    finding.offset = 7;
    finding.length = 10;
    check.goTo(finding);
    EXPECT_EQ(edit.selStart(), 7u);
    EXPECT_EQ(edit.selLength(), 2u);
    finding.offset = 50;
    check.goTo(finding);
    EXPECT_EQ(edit.selStart(), 9u);
    EXPECT_EQ(edit.selLength(), 0u);
}

}  // namespace
}  // namespace korvane
