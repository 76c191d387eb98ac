// Where the program keeps its own files.
#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Restores the umask a test changed.
class Umask {
  public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

  private:
    mode_t m_old;
};

// Catches folders for journals, previews and backups made with the umask's
// 0755, where every user of the machine could list and read them.
TEST(EnsureFolderExists, NewFoldersAreTheUsersAloneAndOldOnesKeepTheirMode) {
    const test::TempDir dir;
    const Umask wide(022);
    ASSERT_EQ(::mkdir(dir.file("shared").c_str(), 0755), 0);
    std::string error;
    ASSERT_TRUE(ensureFolderExists(dir.file("shared/a/b"), error)) << error;
    EXPECT_EQ(modeOf(dir.file("shared")), 0755u);
    EXPECT_EQ(modeOf(dir.file("shared/a")), 0700u);
    EXPECT_EQ(modeOf(dir.file("shared/a/b")), 0700u);
    EXPECT_TRUE(ensureFolderExists(dir.file("shared/a/b/"), error)) << error;

    test::writeFile(dir.file("file"), "x");
    EXPECT_FALSE(ensureFolderExists(dir.file("file"), error));
    EXPECT_FALSE(ensureFolderExists(dir.file("file/below"), error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace korvane
