// The main window's parts without Qt: its commands and the rules that used
// to live in the window class.
#include "app/window_parts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/menu_rows.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

// The window as the parts see it, with what they asked of it recorded.
class FakeHost : public WindowPartsHost {
  public:
    bool isTagMode() const override { return tag; }
    void enterTagMode() override { tag = true; }
    void enterTextMode() override { tag = false; }
    std::string titleBytes() const override { return title; }
    void setTitleBytes(std::string_view bytes) override { title = std::string(bytes); }
    void showCaption() override {}
    void documentRenamed() override {}
    void setEditorFont(const EditorFont&) override {}
    void showTagLayout() override { tag = true; }
    void showTextLayout() override { tag = false; }
    void freezePainting(bool) override {}
    void enableItem(const std::string& name, bool enabled) override { items[name] = enabled; }
    void checkItem(const std::string& name, bool checked) override { checks[name] = checked; }
    FontChoice shownEditorFont() const override { return {"Monospace", 10}; }
    void showStatusNote(const std::string& note) override { notes.push_back(note); }
    void activateMainWindow() override {}
    void exitProgram() override { exited = true; }

    bool tag = false;
    std::string title;
    std::map<std::string, bool> items;
    std::map<std::string, bool> checks;
    std::vector<std::string> notes;
    bool exited = false;
};

struct Parts {
    test::ProgramHome home;
    test::MemoryEditControl edit;
    FakeHost host;
    test::ScriptedDialogs scripted;
    WindowParts parts{edit,    host, scripted.release(), std::make_unique<test::RecordingShell>(),
                      nullptr, {}};
};

// Catches a menu item, context-menu item or tool button whose command is
// misspelt or was never registered: Qt would show it disabled, and nothing
// would tell.
TEST(WindowParts, EveryItemAndButtonNamesARegisteredCommand) {
    Parts p;
    const CommandTable& table = p.parts.commands();
    for (const auto* rows : {&textModeMenus(), &tagModeMenus(), &contextMenu()}) {
        for (const MenuRow& row : *rows) {
            if (*row.command != '\0') {
                EXPECT_TRUE(table.has(row.command)) << row.name << " runs " << row.command;
            }
        }
    }
    for (const auto* rows : {&textModeTools(), &tagModeTools()}) {
        for (const ToolRow& row : *rows) {
            if (*row.name != '\0') {
                EXPECT_TRUE(table.has(row.command)) << row.name << " runs " << row.command;
            }
        }
    }
}

// Catches the edit menu's items left following the editor once the menu
// closed (their short-cuts would then be dead while nothing is selected),
// and the context menu's items not following it.
TEST(WindowParts, EditItemsFollowTheEditorOnlyWhileTheirMenuIsOpen) {
    Parts p;
    p.edit.setText("abc");
    p.host.items.clear();
    p.parts.followEditorInMenu(false);
    EXPECT_EQ(
        p.host.items,
        (std::map<std::string, bool>{
            {"Copy1", false}, {"P2", false}, {"Redo1", false}, {"Repeat1", false}, {"T1", false}}));
    p.parts.releaseEditMenu();
    for (const char* name : {"Repeat1", "Redo1", "T1", "Copy1", "P2"})
        EXPECT_TRUE(p.host.items[name]) << name;
    p.edit.setSelection(0, 2);
    p.parts.followEditorInMenu(true);
    EXPECT_TRUE(p.host.items["N7"]);
    EXPECT_TRUE(p.host.items["Copy2"]);
}

// Catches Exit that does not keep unsaved text in the journal before it
// ends the program.
TEST(WindowParts, ExitKeepsUnsavedTextInTheJournal) {
    Parts p;
    p.edit.replaceSelection("unsaved");
    EXPECT_TRUE(p.parts.commands().run("Exit1Click"));
    EXPECT_TRUE(p.host.exited);
    const std::vector<std::string> left = Journal(p.home.path() + "/journal").leftBehind();
    EXPECT_TRUE(left.empty());  // this process is alive: its journal is not left behind
    std::size_t journals = 0;
    for (const auto& entry : std::filesystem::directory_iterator(p.home.path() + "/journal"))
        journals += Journal::read(entry.path().string())->text == "unsaved" ? 1 : 0;
    EXPECT_EQ(journals, 1u);
}

}  // namespace
}  // namespace korvane
