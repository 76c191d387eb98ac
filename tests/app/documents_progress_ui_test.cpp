// Opening a file with its progress shown: on the real editor, with a
// recording stand-in for the window's progress dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/documents.h"
#include "editor/rich_edit.h"
#include "tests/support/fake_mode_window.h"
#include "tests/support/recording_progress.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using test::RecordingProgressDisplay;

// An untitled, empty tag-mode document that has a history: text typed and
// deleted again (so it is modified and can be undone) and the highlighting
// on. Only such a document takes a file in its own window.
class DocumentsProgressTest : public ::testing::Test {
  protected:
    DocumentsProgressTest() {
        m_window.tag = true;
        m_documents.setProgressDisplay(&m_progress);
        m_edit.replaceSelection("typed");
        m_edit.setSelection(0, m_edit.textLength());
        m_edit.replaceSelection("");
        m_highlighter.html1Click();
    }
    // Tag mode's open of a page, which leaves the highlighting's flag off
    // for the empty editor before it loads.
    void openPage(std::string_view bytes) {
        m_path = m_dir.file("page.htm");
        test::writeFile(m_path, bytes);
        m_scripted.odMain->choose(m_path);
        m_documents.Open2Click();
    }

    test::TempDir m_dir;
    RichEdit m_edit;
    TagHighlighter m_highlighter{m_edit};
    StartupSettings m_settings;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_dialogs = m_scripted.release();
    test::RecordingShell m_shell;
    test::FakeModeWindow m_window;
    Documents m_documents{m_edit, m_highlighter, m_settings, m_dialogs, m_shell, m_window};
    RecordingProgressDisplay m_progress;
    std::string m_path;
};

// Catches a cancelled open that leaves anything changed: the name, the
// layout steps, the highlighting, the text, the modified flag, the undo
// history; or one that reports a failure.
TEST_F(DocumentsProgressTest, CancelledOpenChangesNothing) {
    m_progress.stop = true;
    openPage("<B>page</B>\r\n");

    ASSERT_EQ(m_progress.works.size(), 1u);
    EXPECT_EQ(m_progress.works[0].caption, "ファイルを読み込んでいます...");
    EXPECT_TRUE(m_progress.works[0].cancellable);
    EXPECT_EQ(m_progress.works[0].reports.size(), 1u);
    EXPECT_EQ(m_documents.CurrentFile(), kUntitled);
    EXPECT_TRUE(m_window.steps.empty());
    EXPECT_TRUE(m_highlighter.TagsHighlighted());
    EXPECT_EQ(m_edit.text(), "");
    EXPECT_TRUE(m_edit.modified());
    EXPECT_TRUE(m_scripted.messages->errors().empty());
    ASSERT_TRUE(m_edit.canUndo());
    m_edit.undo();
    EXPECT_EQ(m_edit.text(), "typed");
}

// Catches an open that reports nothing, or not up to the file's size, and
// one whose text does not arrive whole.
TEST_F(DocumentsProgressTest, OpenReportsItsProgressToTheEnd) {
    std::string page = "<B>";
    while (page.size() < (3 << 20))
        page += "text of a long page, in lines as a page has them \x82\xa0\r\n";
    page += "</B>\r\nend";
    openPage(page);

    ASSERT_FALSE(m_progress.works.empty());
    const auto& reports = m_progress.works[0].reports;
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.back(), std::pair(page.size(), page.size()));
    EXPECT_EQ(m_documents.CurrentFile(), m_path);
    EXPECT_TRUE(m_edit.text() == page);
    EXPECT_FALSE(m_edit.modified());
    EXPECT_FALSE(m_edit.canUndo());
}

}  // namespace
}  // namespace korvane
