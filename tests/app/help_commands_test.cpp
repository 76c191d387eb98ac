// Help pages and version lines of both modes, over a recording shell.
#include "app/help_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/program_folder.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// Catches the two modes' pages or version lines swapped, a tool button
// that does not do what its menu item does, or a version shown as an error.
TEST(HelpCommands, EachCommandOpensItsPageOrShowsItsLine) {
    struct Row {
        const char* command;
        std::vector<std::string> opened;
        std::vector<std::string> messages;
    };
    const std::vector<Row> rows = {
        {"H2Click", {"/help/vanthelp.htm"}, {}},  {"ToolButton25Click", {"/help/vanthelp.htm"}, {}},
        {"H3Click", {"/help/morvhelp.htm"}, {}},  {"ToolButton24Click", {"/help/morvhelp.htm"}, {}},
        {"About1Click", {}, {"korvane Ver1.31"}}, {"About2Click", {}, {"morvix Ver1.31"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        test::RecordingShell shell;
        test::RecordingMessageBoxes messages;
        HelpCommands help(shell, messages, [](const std::string& name) { return "/help/" + name; });
        CommandTable table;
        help.registerCommands(table);
        ASSERT_TRUE(table.run(row.command));
        EXPECT_EQ(shell.openedPages(), row.opened);
        EXPECT_EQ(messages.messages(), row.messages);
        EXPECT_TRUE(messages.errors().empty());
    }
}

// Catches a missing page handed to the browser (which shows a bare error
// page) instead of a message naming it.
TEST(HelpCommands, MissingPageIsReported) {
    test::RecordingShell shell;
    test::RecordingMessageBoxes messages;
    HelpCommands help(shell, messages, [](const std::string&) { return std::string(); });
    help.H3Click();
    EXPECT_TRUE(shell.openedPages().empty());
    EXPECT_EQ(messages.errors(), std::vector<std::string>{missingHelpText("morvhelp.htm")});
}

// Catches a help page looked for in the current folder rather than beside
// the program, the program folder not being the first place, and the pages
// built beside the program not found once KORVANE_HOME names another folder.
TEST(HelpPagePath, BesideTheProgramFirst) {
    test::ProgramHome home;
    test::writeFile(home.path() + "/vanthelp.htm", "<HTML></HTML>");
    EXPECT_EQ(helpPagePath("vanthelp.htm"), home.path() + "/vanthelp.htm");
    const std::vector<std::string> folders = helpPageFolders();
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(folders[0], home.path());
    EXPECT_EQ(folders[1], executableFolder());
    EXPECT_EQ(folders[2], std::filesystem::path(executableFolder() + "/../share/korvane")
                              .lexically_normal()
                              .string());

    const std::string name = "help-test-" + std::to_string(::getpid()) + ".htm";
    const std::string besideProgram = executableFolder() + "/" + name;
    test::writeFile(besideProgram, "<HTML></HTML>");
    EXPECT_EQ(helpPagePath(name), besideProgram);
    std::filesystem::remove(besideProgram);
}

// Catches a help command that does nothing at all when no browser can be
// started.
TEST(HelpCommands, ABrowserThatCannotBeStartedIsReported) {
    test::RecordingShell shell;
    shell.setFailing(true);
    test::RecordingMessageBoxes messages;
    HelpCommands help(shell, messages, [](const std::string& name) { return "/help/" + name; });
    help.H2Click();
    ASSERT_EQ(messages.errors().size(), 1u);
    EXPECT_NE(messages.errors()[0].find("/help/vanthelp.htm"), std::string::npos);
}

}  // namespace
}  // namespace korvane
