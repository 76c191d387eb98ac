#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace korvane
