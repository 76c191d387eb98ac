// The preview of both modes over the in-memory editor and a recording
// shell: what "prev.htm" holds, what is opened, and that the document is
// left as it was.
#include "convert/preview.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/to_html.h"
#include "platform/program_folder.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語

class PreviewTest : public ::testing::Test {
  protected:
    PreviewTest()
        : m_set(m_scripted.release()),
          m_path(m_dir.file("prev.htm")),
          m_preview(m_edit, m_page, m_set, m_shell,
                    Preview::Sources{[this] { return m_title; }, [this] { return m_tab; },
                                     [this] { return m_path; }, [this] { return m_file; }}) {}

    std::string written() const { return test::readFile(m_path); }

    test::TempDir m_dir;
    test::MemoryEditControl m_edit;
    PageSettings m_page;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    test::RecordingShell m_shell;
    std::string m_title = kNihongo;
    int m_tab = 1;
    std::string m_path;
    std::string m_file;  // the document's; empty: none
    Preview m_preview;
};

// Catches a preview that is not the conversion's page (title, tab option,
// colours), one that makes the picture relative, or one opened elsewhere.
TEST_F(PreviewTest, TextModeWritesTheConvertedPageWithTheAbsolutePicture) {
    m_edit.setText("a\tb\r\n<c>");
    m_page.setBackPicture("/home/u/pics/back.gif");
    m_page.ColorCheck = kCheckBack;
    m_tab = 3;
    m_preview.P1Click();
    EXPECT_EQ(written(), ToHtml("a\tb\r\n<c>", kNihongo, m_page, 3));
    EXPECT_NE(written().find("background=\"/home/u/pics/back.gif\""), std::string::npos);
    EXPECT_EQ(m_shell.openedPages(), std::vector<std::string>{m_path});
}

// A UTF-8 text: catches its preview made as a Shift_JIS page (a META that
// says Shift_JIS over UTF-8 bytes, the title box's bytes or a tab's spaces
// in Shift_JIS), which the browser shows as mojibake.
TEST_F(PreviewTest, TextModePreviewOfAUtf8TextIsAUtf8Page) {
    m_edit.setCodec(utf8Codec());
    m_edit.setText("\xed\x95\x9c\t");
    m_tab = 0;
    m_preview.P1Click();
    EXPECT_NE(written().find("charset=UTF-8\">"), std::string::npos);
    EXPECT_NE(written().find("<TITLE>\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e</TITLE>"),
              std::string::npos);
    EXPECT_NE(written().find("\xed\x95\x9c\xe3\x80\x80"), std::string::npos);
}

// Catches a preview that clears the modified flag (closing would then lose
// the text without asking), moves the selection, changes the text or
// leaves the editor frozen.
TEST_F(PreviewTest, DocumentIsLeftAsItWas) {
    for (const bool tagMode : {false, true}) {
        SCOPED_TRACE(tagMode ? "tag mode" : "text mode");
        m_edit.setText("<P>abc</P>");
        m_edit.setModified(true);
        m_edit.setSelection(3, 6);
        tagMode ? m_preview.P4Click() : m_preview.P1Click();
        EXPECT_TRUE(m_edit.modified());
        EXPECT_EQ(m_edit.text(), "<P>abc</P>");
        EXPECT_EQ(m_edit.selStart(), 3u);
        EXPECT_EQ(m_edit.selLength(), 3u);
        EXPECT_TRUE(m_edit.redrawOn());
    }
}

// Catches a second preview that appends to or keeps the first page, and a
// tag-mode preview that converts or escapes its text.
TEST_F(PreviewTest, TagModeWritesTheTextUnchangedAndEachPreviewOverwrites) {
    m_edit.setText("not html at all & <unclosed");
    m_preview.P4Click();
    EXPECT_EQ(written(), "not html at all & <unclosed");
    m_edit.setText("<B>" + kNihongo + "</B>");
    m_preview.P4Click();
    EXPECT_EQ(written(), "<B>" + kNihongo + "</B>");
    EXPECT_EQ(m_shell.openedPages().size(), 2u);
}

// Catches an empty document previewed as an empty file instead of a whole
// page with an empty body.
// Catches the preview, which holds the user's text, written 0644 where
// every user of the machine can read it.
TEST_F(PreviewTest, PageIsReadableByItsUserAlone) {
    m_edit.setText("<P>private</P>");
    const mode_t old = ::umask(022);
    m_preview.P4Click();
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(m_path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Catches a tag-mode preview whose relative pictures and links break
// because the copy lies in another folder, a BASE of the page's own
// overridden, a BASE put where a browser ignores it, and a page without a
// file given one.
TEST(PreviewBase, TheCopyFindsWhatThePageRefersTo) {
    const std::string file = "/home/u/web site/\xe6\x97\xa5#1/page.htm";
    const std::string base = "<BASE href=\"file:///home/u/web%20site/%E6%97%A5%231/\">";
    const struct {
        const char* name;
        std::string page;
        std::string path;
        std::string preview;
    } rows[] = {
        {"after HEAD", "<HTML><HEAD>\r\n<TITLE>t</TITLE></HEAD><IMG src=\"a.gif\">", file,
         "<HTML><HEAD>\r\n" + base + "\r\n<TITLE>t</TITLE></HEAD><IMG src=\"a.gif\">"},
        {"HEAD with attributes, in lower case", "<head profile=\"x\"><a href=b.htm>b</a>", file,
         "<head profile=\"x\">\r\n" + base + "<a href=b.htm>b</a>"},
        {"no HEAD", "<IMG src=\"a.gif\">", file, base + "\r\n<IMG src=\"a.gif\">"},
        {"HEADER is not HEAD", "<HEADER><IMG src=a.gif>", file,
         base + "\r\n<HEADER><IMG src=a.gif>"},
        {"HEAD inside a comment", "<!-- <HEAD> -->x", file, base + "\r\n<!-- <HEAD> -->x"},
        {"the page's own BASE", "<HEAD><base HREF = \"http://example.org/\"></HEAD>", file,
         "<HEAD><base HREF = \"http://example.org/\"></HEAD>"},
        {"a BASE with a target only", "<HEAD><BASE target=\"_top\"></HEAD>", file,
         "<HEAD>\r\n" + base + "<BASE target=\"_top\"></HEAD>"},
        {"no file", "<HEAD></HEAD><IMG src=a.gif>", "", "<HEAD></HEAD><IMG src=a.gif>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(withDocumentBase(row.page, row.path), row.preview) << row.name;
}

// Catches a preview that does nothing at all when no browser can be
// started, and a tag-mode preview given no BASE by the command.
TEST_F(PreviewTest, ABrowserThatCannotBeStartedIsReported) {
    m_file = "/web/index.htm";
    m_edit.setText("<HEAD></HEAD>");
    m_shell.setFailing(true);
    m_preview.P4Click();
    EXPECT_EQ(written(), "<HEAD>\r\n<BASE href=\"file:///web/\"></HEAD>");
    ASSERT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_NE(m_scripted.messages->errors()[0].find(m_path), std::string::npos);
}

TEST_F(PreviewTest, EmptyTextModeDocumentIsACompletePage) {
    m_preview.P1Click();
    EXPECT_EQ(written(), ToHtml("", kNihongo, m_page, 1));
    EXPECT_NE(written().find("</HTML>"), std::string::npos);
}

// Catches a preview that cannot be written opening the browser on an old
// page, or failing silently.
TEST_F(PreviewTest, UnwritablePreviewIsReportedAndNothingOpens) {
    std::filesystem::create_directory(m_path);  // no write succeeds, not even root's
    m_edit.setText("abc");
    m_edit.setModified(true);
    for (const bool tagMode : {false, true}) {
        tagMode ? m_preview.P4Click() : m_preview.P1Click();
    }
    EXPECT_EQ(m_scripted.messages->errors(),
              (std::vector<std::string>{"ファイル " + m_path + " を作成できません",
                                        "ファイル " + m_path + " を作成できません"}));
    EXPECT_TRUE(m_shell.openedPages().empty());
    EXPECT_TRUE(m_edit.modified());
    EXPECT_TRUE(m_edit.redrawOn());
}

// Catches the default location ignoring the program folder, and a cache
// folder that must exist beforehand.
TEST(PreviewLocation, ProgramFolderByDefaultAndTheCacheFolderIsCreated) {
    test::ProgramHome home;
    test::MemoryEditControl edit("<P>x</P>");
    PageSettings page;
    test::ScriptedDialogs scripted;
    CommonDialogs set = scripted.release();
    test::RecordingShell shell;
    Preview preview(edit, page, set, shell, {});
    preview.P4Click();
    EXPECT_EQ(test::readFile(home.path() + "/prev.htm"), "<P>x</P>");

    const test::TempDir cache;
    const std::string nested = cache.path() + "/a/b/prev.htm";
    Preview elsewhere(edit, page, set, shell, {{}, {}, [&] { return nested; }, {}});
    elsewhere.P4Click();
    EXPECT_EQ(test::readFile(nested), "<P>x</P>");
    EXPECT_TRUE(scripted.messages->errors().empty());
}

}  // namespace
}  // namespace korvane
