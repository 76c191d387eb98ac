#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <memory>
#include <string>
#include <vector>

#include "app/recent_menu.h"
#include "app/tvantler.h"
#include "editor/rich_edit.h"
#include "platform/recent_files.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/scripted_window.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

class RecentMenuTest : public ::testing::Test {
  protected:
    void create() { test::createScriptedWindow(m_window, m_scripted, m_shell); }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    // The mode's recent submenu, filled as it is when it opens.
    QMenu* openRecent() const {
        auto* menu = m_window->findChild<QMenu*>(
            QString::fromUtf8(m_window->isTagMode() ? "Recent2" : "Recent1"));
        EXPECT_NE(menu, nullptr);
        if (menu != nullptr)
            emit menu->aboutToShow();
        return menu;
    }
    std::vector<std::string> captions(const QMenu* menu) const {
        std::vector<std::string> out;
        for (QAction* a : menu->actions())
            out.push_back(a->isSeparator()
                              ? "-"
                              : a->text().toStdString() + (a->isEnabled() ? "" : " [grey]"));
        return out;
    }

    test::ProgramHome m_home;
    std::unique_ptr<test::ScriptedDialogs> m_scripted;
    std::unique_ptr<Tvantler> m_window;
    test::RecordingShell* m_shell = nullptr;
};

// Catches files opened or saved that do not reach the list, a list that is
// not the newest first with numbered access keys, a missing file that is
// not greyed with its tip, and a clear that leaves the file's keys.
TEST_F(RecentMenuTest, OpenedAndSavedFilesAreListedNewestFirst) {
    const test::TempDir dir;
    const std::string first = dir.file("a & b.txt");
    const std::string saved = dir.file("saved.txt");
    test::writeFile(first, "one");
    create();
    m_scripted->odMain->choose(first);
    trigger("Open1");
    ASSERT_EQ(m_window->editor()->text(), "one");
    m_scripted->sdMain->choose(saved);
    trigger("SaveAs1");
    RecentFiles(m_home.settingsFile()).add(dir.file("gone.txt"));  // another copy's
    QMenu* menu = openRecent();
    ASSERT_NE(menu, nullptr);
    const std::vector<std::string> expected = {
        "&1 " + dir.file("gone.txt") + " [grey]",
        "&2 " + saved,
        "&3 " + dir.file("a && b.txt"),
        "-",
        "一覧を消去",
    };
    EXPECT_EQ(captions(menu), expected);
    EXPECT_EQ(menu->actions().front()->toolTip().toStdString(), kRecentMissingTip);
    // Tag mode's file menu shows the same list.
    trigger("morvixS1");
    QMenu* tagMenu = openRecent();
    ASSERT_NE(tagMenu, nullptr);
    EXPECT_EQ(captions(tagMenu), expected);
    tagMenu->actions().back()->trigger();
    EXPECT_TRUE(RecentFiles(m_home.settingsFile()).list().empty());
    EXPECT_EQ(captions(openRecent()),
              (std::vector<std::string>{"(なし) [grey]", "-", "一覧を消去 [grey]"}));
}

// Catches a recent file opened some other way than the open dialog's
// choice: into this window when it is new and empty, as the mode's open
// routes it (tag mode converts a text file), and to a new copy when the
// window holds a document.
TEST_F(RecentMenuTest, ChosenFileIsRoutedAsTheOpenDialogsChoice) {
    const test::TempDir dir;
    const std::string text = dir.file("note.txt");
    test::writeFile(text, "hello");
    struct Row {
        const char* name;
        bool tagMode;
        bool holdsDocument;
        std::string expectedText;  // "" : nothing changed here
        std::size_t copies;
    };
    const Row rows[] = {
        {"text mode, empty window", false, false, "hello", 0},
        {"tag mode, empty window: converted", true, false, "", 0},
        {"a window with a document", false, true, "", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        create();
        if (row.tagMode)
            trigger("morvixS1");
        RecentFiles(m_home.settingsFile()).add(text);
        if (row.holdsDocument)
            m_window->editor()->setText("mine");
        QMenu* menu = openRecent();
        ASSERT_NE(menu, nullptr);
        menu->actions().front()->trigger();
        if (row.tagMode) {
            EXPECT_NE(m_window->editor()->text().find("hello"), std::string::npos);
            EXPECT_NE(m_window->editor()->text(), "hello") << "converted to a page";
        } else if (!row.expectedText.empty()) {
            EXPECT_EQ(m_window->editor()->text(), row.expectedText);
            EXPECT_EQ(m_window->currentFile().toStdString(), text);
        } else {
            EXPECT_EQ(m_window->editor()->text(), "mine");
        }
        EXPECT_EQ(m_shell->startedCopies().size(), row.copies);
    }
}

}  // namespace
}  // namespace korvane
