#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace korvane {
namespace {

using Params = std::vector<std::string>;
using Paths = std::vector<std::string>;

// The switches, the rebuilding of unquoted paths and the POSIX reading of
// "/": catches "/H" taken for a switch, an absolute path taken for a failed
// switch, a rebuild that runs past the next "/" parameter, and relative
// paths left relative.
TEST(CommandLineTest, Plans) {
    struct Row {
        const char* name;
        Params params;
        StartupPlan plan;
    };
    const Row rows[] = {
        {"no parameters", {}, {StartupKind::Nothing, {}}},
        {"lone /h", {"/h"}, {StartupKind::Nothing, {}}},
        {"lone /t", {"/t"}, {StartupKind::Nothing, {}}},
        {"/h and a path", {"/h", "/site/a.htm"}, {StartupKind::OpenAsHtml, {"/site/a.htm"}}},
        {"/t and a relative path", {"/t", "a.txt"}, {StartupKind::Convert, {"/cwd/a.txt"}}},
        {"/h rebuilds an unquoted path",
         {"/h", "/home/me/My", "Documents/a.htm"},
         {StartupKind::OpenAsHtml, {"/home/me/My Documents/a.htm"}}},
        {"rebuilding stops at the next slash",
         {"/h", "a", "b", "/c", "d"},
         {StartupKind::OpenAsHtml, {"/cwd/a b"}}},
        {"upper-case /H is a path", {"/H", "a.htm"}, {StartupKind::FileList, {"/H", "/cwd/a.htm"}}},
        {"an absolute path first is a file list",
         {"/home/me/a.txt", "/home/me/b.txt"},
         {StartupKind::FileList, {"/home/me/a.txt", "/home/me/b.txt"}}},
        {"a later /h in a list is a path",
         {"a.txt", "/h", "b"},
         {StartupKind::FileList, {"/cwd/a.txt", "/h", "/cwd/b"}}},
        {"empty parameters name nothing", {"", ""}, {StartupKind::Nothing, {}}},
        {"empty parameter before a switch",
         {"", "/t", "x.htm"},
         {StartupKind::Convert, {"/cwd/x.htm"}}},
        {"path with quotes and blanks in one parameter",
         {"/t", "/a b/\"c\".txt"},
         {StartupKind::Convert, {"/a b/\"c\".txt"}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(parseCommandLine(r.params, "/cwd"), r.plan);
    }
}

// Names that cannot be made into a path the system opens: catches a
// relative name taken from "/" when the working folder is gone (a later save
// would write there), and a name too long for the system planned as a new
// document named after it. The system's limit counts the terminating zero:
// a path of PATH_MAX bytes is already too long for it.
TEST(CommandLineTest, NamesThatCannotBeResolvedAreRefused) {
    const std::string longest = "/" + std::string(kLongestPath - 1, 'a');
    const std::string tooLong = longest + "b";
    const std::string folder = "/" + std::string(3999, 'w');
    const std::string relative(100, 'r');
    struct Row {
        const char* name;
        Params params;
        std::string_view workingFolder;
        StartupPlan plan;
    };
    const Row rows[] = {
        {"relative, no working folder",
         {"a.txt"},
         "",
         {StartupKind::Nothing, {}, {{"a.txt", NameProblem::NoWorkingFolder}}}},
        {"absolute, no working folder", {"/w/a.txt"}, "", {StartupKind::FileList, {"/w/a.txt"}}},
        {"/h, relative, no working folder",
         {"/h", "My", "a.htm"},
         "",
         {StartupKind::Nothing, {}, {{"My a.htm", NameProblem::NoWorkingFolder}}}},
        {"/t, absolute, no working folder",
         {"/t", "/w/a.txt"},
         "",
         {StartupKind::Convert, {"/w/a.txt"}}},
        {"a further relative name is not handed on",
         {"/w/a.txt", "b.txt", "/w/c.txt"},
         "",
         {StartupKind::FileList,
          {"/w/a.txt", "/w/c.txt"},
          {{"b.txt", NameProblem::NoWorkingFolder}}}},
        {"the longest path the system takes",
         {longest},
         "/cwd",
         {StartupKind::FileList, {longest}}},
        {"one byte longer",
         {tooLong},
         "/cwd",
         {StartupKind::Nothing, {}, {{tooLong, NameProblem::TooLong}}}},
        {"two bytes longer",
         {tooLong + "c"},
         "/cwd",
         {StartupKind::Nothing, {}, {{tooLong + "c", NameProblem::TooLong}}}},
        {"relative, too long once absolute",
         {"/t", relative},
         folder,
         {StartupKind::Nothing, {}, {{relative, NameProblem::TooLong}}}},
        {"long only before the doubled separators go",
         {"/w" + std::string(5000, '/') + "a.txt"},
         "/cwd",
         {StartupKind::FileList, {"/w/a.txt"}}},
    };
    ASSERT_EQ(longest.size(), kLongestPath);
    ASSERT_GT(folder.size() + 1 + relative.size(), kLongestPath);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(parseCommandLine(r.params, r.workingFolder), r.plan);
    }
}

// The message names the file and says why; a long name by its start, cut
// between characters. Catches one reason given for the other, a message
// thousands of bytes wide, and a character cut in half (shown as garbage).
TEST(CommandLineTest, RefusalMessages) {
    const std::string kana = "\xE3\x81\x82";  // one character, three bytes
    std::string longName = "/";
    while (longName.size() < 5000)
        longName += kana;
    struct Row {
        RefusedName refused;
        std::string shownName;
        std::string reason;
    };
    const Row rows[] = {
        {{"a.txt", NameProblem::NoWorkingFolder}, "a.txt", "作業フォルダが見つからない"},
        {{longName, NameProblem::TooLong}, longName.substr(0, 79) + "…", "名前が長すぎる"},
    };
    for (const Row& r : rows) {
        const std::string text = refusedNameText(r.refused);
        EXPECT_EQ(text.find("ファイル " + r.shownName + " は"), 0u) << text;
        EXPECT_NE(text.find(r.reason), std::string::npos) << text;
    }
}

// Catches "./" and doubled separators kept in the caption and in relative
// locations, and ".." folded away (wrong through a linked folder).
TEST(CommandLineTest, AbsolutePaths) {
    struct Row {
        const char* path;
        const char* folder;
        const char* absolute;
    };
    const Row rows[] = {
        {"a.txt", "/w", "/w/a.txt"},
        {"./a.txt", "/w", "/w/a.txt"},
        {"sub//a.txt", "/w/", "/w/sub/a.txt"},
        {"../a.txt", "/w/x", "/w/x/../a.txt"},
        {"/abs/./b.htm", "/w", "/abs/b.htm"},
        {"dir/", "/w", "/w/dir"},
        {"/", "/w", "/"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(absolutePath(r.path, r.folder), r.absolute) << r.path;
}

// The "--" switches before any window: catches --help or --version taken
// for a file to create, a mistyped switch opened as a new document, "--"
// kept as a file name or not ending the switches, a name after it taken for
// a switch, --recover taken anywhere but as the whole command line a window
// starts a copy with, and one-dash names ("-", "-x") refused.
TEST(CommandLineTest, ProgramSwitches) {
    struct Row {
        const char* name;
        Params params;
        ProgramRequest request;
    };
    const auto run = [](Params names) { return ProgramRequest{ProgramAction::Run, names}; };
    const ProgramRequest help{ProgramAction::Help};
    const ProgramRequest version{ProgramAction::Version};
    const auto error = [](std::string text) {
        return ProgramRequest{ProgramAction::UsageError, {}, {}, text};
    };
    const auto recover = [](std::string journal) {
        return ProgramRequest{ProgramAction::Recover, {}, journal};
    };
    const Row rows[] = {
        {"nothing", {}, run({})},
        {"files and switches of the window", {"/h", "a b", "c"}, run({"/h", "a b", "c"})},
        {"help", {"--help"}, help},
        {"version", {"--version"}, version},
        {"help after a file", {"a.txt", "--help"}, help},
        {"help wins over a mistake", {"--bogus", "--help"}, help},
        {"help wins over version", {"--version", "--help"}, help},
        {"version after a file", {"a.txt", "--version"}, version},
        {"unknown switch", {"--bogus"}, error("unknown option --bogus")},
        {"the first unknown switch is named",
         {"a.txt", "--helpp", "--x"},
         error("unknown option --helpp")},
        {"a switch with a value", {"--help=all"}, error("unknown option --help=all")},
        {"one-dash names are files", {"-", "-x", "-help"}, run({"-", "-x", "-help"})},
        {"a lone --", {"--"}, run({})},
        {"names after --", {"--", "--help", "--x"}, run({"--help", "--x"})},
        {"a second -- is a name", {"a", "--", "--", "b"}, run({"a", "--", "b"})},
        {"a switch after --", {"/h", "--", "--odd name"}, run({"/h", "--odd name"})},
        {"a name that hides its dashes", {"./--name"}, run({"./--name"})},
        {"empty names pass through", {"", "a"}, run({"", "a"})},
        {"recover", {"--recover", "/j/k-1.journal"}, recover("/j/k-1.journal")},
        {"recover without a journal",
         {"--recover"},
         error("--recover takes one journal and nothing else")},
        {"recover with more",
         {"--recover", "/j/a", "b"},
         error("--recover takes one journal and nothing else")},
        {"recover after a file",
         {"a.txt", "--recover", "/j/a"},
         error("--recover takes one journal and nothing else")},
        {"recover after --", {"--", "--recover", "/j/a"}, run({"--recover", "/j/a"})},
        {"help for the copy", {"--recover", "--help"}, help},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(readProgramSwitches(r.params), r.request);
    }
}

}  // namespace
}  // namespace korvane
