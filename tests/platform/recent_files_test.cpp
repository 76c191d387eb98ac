#include "platform/recent_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/concurrent_children.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// Catches a name that does not come back as it went in, or that reaches the
// file in a form the profile format takes for its own (a "=", a section
// bracket, a comment, a blank trimmed away, bytes Shift_JIS cannot hold).
TEST(RecentFiles, OddNamesComeBackAsTheyWent) {
    const std::vector<std::string> names = {
        "/home/user/\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4.txt",  // 한국어.txt
        "/home/user/my page.htm",
        "/home/user/100%.txt",
        "/home/user/a=b.txt",
        "/home/user/;comment.txt",
        "/home/user/[Recent].htm",
        " /lead and trail /",
        "/home/user/\xe6\x97\xa5\xe8\xa8\x98.txt",  // 日記.txt
        "/tmp/line\r\nbreak.txt",
        "/tmp/quote\"back\\slash.txt",
    };
    const test::TempDir dir;
    const std::string ini = dir.file("krv13.ini");
    test::writeFile(ini, "[Option]\r\nTab=2\r\n");
    RecentFiles recent(ini);
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        ASSERT_TRUE(recent.add(*name).ok);
    EXPECT_EQ(RecentFiles(ini).list(), names);
    const std::string bytes = test::readFile(ini);
    EXPECT_EQ(bytes.rfind("[Option]\r\nTab=2\r\n", 0), 0u) << "other keys keep their bytes";
    for (const char c : bytes.substr(bytes.find("[Recent]") + 8)) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte < 0x80 && c != ' ' && c != ';' && c != '[' && c != '"')
            << "a byte the profile format could misread: " << int(byte);
    }
    for (const std::string& name : names) {
        EXPECT_EQ(decodeRecentName(encodeRecentName(name)), name);
    }
}

// Catches a list that grows past ten, keeps a name twice, or forgets the
// order in which files were used.
TEST(RecentFiles, NewestFirstTenAtMostEachOnce) {
    struct Row {
        const char* name;
        std::vector<std::string> added;
        std::vector<std::string> expected;
    };
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back("/f" + std::to_string(i));
    const Row rows[] = {
        {"one", {"/a"}, {"/a"}},
        {"a name used again moves to the top", {"/a", "/b", "/c", "/a"}, {"/a", "/c", "/b"}},
        {"the oldest beyond ten goes",
         twelve,
         {"/f12", "/f11", "/f10", "/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3"}},
    };
    for (const Row& row : rows) {
        const test::TempDir dir;
        RecentFiles recent(dir.file("krv13.ini"));
        for (const std::string& name : row.added)
            ASSERT_TRUE(recent.add(name).ok);
        EXPECT_EQ(recent.list(), row.expected) << row.name;
    }
}

// Catches two copies of the program keeping lists of their own: each reads
// the file when it changes the list, so neither drops what the other added,
// and a clear by one is what the other sees.
TEST(RecentFiles, TwoCopiesKeepOneList) {
    const test::TempDir dir;
    const std::string ini = dir.file("krv13.ini");
    RecentFiles first(ini);
    RecentFiles second(ini);
    ASSERT_TRUE(first.add("/one.txt").ok);
    ASSERT_TRUE(second.add("/two.htm").ok);
    ASSERT_TRUE(first.add("/three.txt").ok);
    const std::vector<std::string> expected = {"/three.txt", "/two.htm", "/one.txt"};
    EXPECT_EQ(first.list(), expected);
    EXPECT_EQ(second.list(), expected);
    ASSERT_TRUE(second.clear().ok);
    EXPECT_TRUE(first.list().empty());
    ASSERT_TRUE(first.add("/four.txt").ok);
    EXPECT_EQ(second.list(), std::vector<std::string>{"/four.txt"});
}

// Catches the list written as keys one by one (or without re-reading under
// the lock): copies adding at the same moment would lose each other's names.
TEST(RecentFiles, CopiesAddingAtOnceLoseNothing) {
    const test::TempDir dir;
    const std::string ini = dir.file("krv13.ini");
    std::vector<std::function<bool()>> bodies;
    for (int copy = 0; copy < 2; ++copy) {
        bodies.emplace_back([ini, copy] {
            RecentFiles recent(ini);
            for (int i = 0; i < 4; ++i) {
                if (!recent.add("/copy" + std::to_string(copy) + "/" + std::to_string(i)).ok)
                    return false;
            }
            return true;
        });
    }
    ASSERT_TRUE(test::runConcurrently(bodies));
    const std::vector<std::string> list = RecentFiles(ini).list();
    EXPECT_EQ(list.size(), 8u);
}

// Catches a hand-edited or damaged entry taken as a name.
TEST(RecentFiles, EntriesNotInTheStoredFormAreNone) {
    const std::string bytes =
        "[Recent]\r\nFile1=/good%20one\r\nFile2=%zz\r\nFile3=/half%4\r\nFile4=\r\n"
        "File5=raw space\r\nFile6=/good%20one\r\nFile7=/last\r\n";
    EXPECT_EQ(recentFilesIn(bytes), (std::vector<std::string>{"/good one", "/last"}));
}

}  // namespace
}  // namespace korvane
