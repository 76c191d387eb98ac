// The program's own files: private, and never written through a link that
// another user planted.
#include "platform/owned_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/profile.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// Another user's id, for links and files that the test makes as root.
constexpr uid_t kStranger = 65534;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

void makeLink(const std::string& target, const std::string& link, uid_t owner) {
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
}

struct Row {
    const char* name;
    bool needsRoot;  // only root can make a file or a link of another user
    // Sets up `dir` and returns the name the program writes.
    std::function<std::string(const test::TempDir& dir)> make;
    bool written;
    // The file that must hold "new" when written, or "old" when refused.
    const char* checked;
    const char* untouched = nullptr;  // a file that must keep "old" either way
};

// Catches the program's own files written through a link of another user
// (root's preview, journal or settings overwriting a file the link names),
// into another name of a hard link, with the umask's 0644, or over what is
// not a file; and its user's own links no longer followed.
TEST(PrivateFile, OnlyTheUsersOwnLinksAreFollowedAndTheFileIsTheUsersAlone) {
    const uid_t self = ::geteuid();
    const Row rows[] = {
        {"new file", false, [](const test::TempDir& d) { return d.file("prev.htm"); }, true,
         "prev.htm"},
        {"open file made private", false,
         [](const test::TempDir& d) {
             test::writeFile(d.file("prev.htm"), "old");
             ::chmod(d.file("prev.htm").c_str(), 0644);
             return d.file("prev.htm");
         },
         true, "prev.htm"},
        {"own link to own file", false,
         [self](const test::TempDir& d) {
             test::writeFile(d.file("real"), "old");
             makeLink("real", d.file("prev.htm"), self);
             return d.file("prev.htm");
         },
         true, "real"},
        {"hard link: the other name keeps the old text", false,
         [](const test::TempDir& d) {
             test::writeFile(d.file("other"), "old");
             EXPECT_EQ(::link(d.file("other").c_str(), d.file("prev.htm").c_str()), 0);
             return d.file("prev.htm");
         },
         true, "prev.htm", "other"},
        {"link of another user", true,
         [](const test::TempDir& d) {
             test::writeFile(d.file("victim"), "old");
             makeLink(d.file("victim"), d.file("prev.htm"), kStranger);
             return d.file("prev.htm");
         },
         false, "victim"},
        {"own link to a file of another user", true,
         [self](const test::TempDir& d) {
             test::writeFile(d.file("victim"), "old");
             EXPECT_EQ(::chown(d.file("victim").c_str(), kStranger, kStranger), 0);
             makeLink(d.file("victim"), d.file("prev.htm"), self);
             return d.file("prev.htm");
         },
         false, "victim"},
        {"another user's link in the middle of a chain", true,
         [self](const test::TempDir& d) {
             test::writeFile(d.file("victim"), "old");
             makeLink("victim", d.file("middle"), kStranger);
             makeLink("middle", d.file("prev.htm"), self);
             return d.file("prev.htm");
         },
         false, "victim"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && self != 0)
            continue;  // the rows of other users need root to be set up
        const test::TempDir dir;
        const std::string path = row.make(dir);
        const mode_t old = ::umask(022);
        const FileResult result = writePrivateFile(path, "new");
        ::umask(old);
        EXPECT_EQ(result.ok, row.written) << result.error;
        EXPECT_EQ(test::readFile(dir.file(row.checked)), row.written ? "new" : "old");
        if (row.untouched) {
            EXPECT_EQ(test::readFile(dir.file(row.untouched)), "old");
        }
        if (row.written) {
            EXPECT_EQ(modeOf(dir.file(row.checked)), 0600u);
        } else {
            EXPECT_FALSE(result.error.empty());
        }
    }
    const test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(writePrivateFile(dir.file("folder"), "new").ok);
}

// Catches the settings file, or its lock, written through a link that
// another user planted in a shared program folder.
TEST(PrivateFile, SettingsAreNotWrittenThroughAStrangersLink) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a link of another user";
    for (const char* planted : {"krv13.ini", "krv13.ini.lock"}) {
        SCOPED_TRACE(planted);
        const test::TempDir dir;
        test::writeFile(dir.file("victim"), "old");
        makeLink(dir.file("victim"), dir.file(planted), kStranger);
        Profile profile(dir.file("krv13.ini"));
        EXPECT_FALSE(profile.writeString("Option", "Tab", "1").ok);
        EXPECT_EQ(test::readFile(dir.file("victim")), "old");
    }
}

}  // namespace
}  // namespace korvane
