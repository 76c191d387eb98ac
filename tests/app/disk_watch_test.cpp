// Whether another program changed the document's file.
#include "app/disk_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/file_identity.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

void setTime(const std::string& path, long seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::uint64_t hashOf(std::string_view bytes) {
    ContentHash hash;
    hash.add(bytes);
    return hash.value();
}

// Catches a change missed (same size, or the same second on a file system
// of coarse times, or a save by rename), a touch or a copy of the same bytes
// taken for a change, a deleted file missed, and a change asked about twice.
TEST(DiskWatch, TellsAChangeOnceAndNothingElse) {
    const struct {
        const char* name;
        bool coarse;  // the file system's times cannot be trusted
        std::function<void(const std::string& path)> otherProgram;
        DiskWatch::State found;
    } rows[] = {
        {"nothing", false, [](const std::string&) {}, DiskWatch::State::Same},
        {"touched", false, [](const std::string& p) { setTime(p, 2000); }, DiskWatch::State::Same},
        {"same bytes by rename", false,
         [](const std::string& p) {
             test::writeFile(p + ".new", "old text");
             std::filesystem::rename(p + ".new", p);
         },
         DiskWatch::State::Same},
        {"same size, other bytes", false,
         [](const std::string& p) {
             test::writeFile(p, "new text");
             setTime(p, 2000);
         },
         DiskWatch::State::Changed},
        {"same size and second, coarse times", true,
         [](const std::string& p) {
             test::writeFile(p, "new text");
             setTime(p, 1000);
         },
         DiskWatch::State::Changed},
        {"longer", false, [](const std::string& p) { test::writeFile(p, "old text, more"); },
         DiskWatch::State::Changed},
        {"deleted", false, [](const std::string& p) { std::filesystem::remove(p); },
         DiskWatch::State::Deleted},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const test::TempDir dir;
        const std::string path = dir.file("page.htm");
        test::writeFile(path, "old text");
        setTime(path, 1000);
        DiskWatch watch([&row](const std::string& p) {
            FileIdentity id = fileIdentity(p);
            id.coarseTimes = row.coarse;
            return id;
        });
        watch.remember(path, hashOf("old text"));
        row.otherProgram(path);
        EXPECT_EQ(watch.check(), row.found);
        watch.acknowledge();
        EXPECT_EQ(watch.check(), DiskWatch::State::Same);
    }
}

// Catches a hash that depends on how the bytes were cut into pieces (a read
// in blocks and a save in one piece would never agree).
TEST(ContentHash, SameBytesSameHashHoweverCut) {
    std::string bytes = "0123456789abcdefghijklmnopqrstuvwxyz\x81\x40";
    // Long enough for runs of words that go four at a time, cut anywhere.
    for (int k = 0; k < 4; ++k)
        bytes += bytes;
    for (std::size_t cut1 = 0; cut1 <= bytes.size(); cut1 += 7) {
        for (std::size_t cut2 = cut1; cut2 <= bytes.size(); cut2 += 11) {
            ContentHash hash;
            hash.add(std::string_view(bytes).substr(0, cut1));
            hash.add(std::string_view(bytes).substr(cut1, cut2 - cut1));
            hash.add(std::string_view(bytes).substr(cut2));
            EXPECT_EQ(hash.value(), hashOf(bytes));
        }
    }
    EXPECT_NE(hashOf("ab"), hashOf(std::string("ab\0", 3)));
    EXPECT_NE(hashOf("abcdefgh"), hashOf("abcdefgi"));
    // Words in another order are other bytes, whichever lanes they went to.
    EXPECT_NE(hashOf("01234567abcdefgh"), hashOf("abcdefgh01234567"));
    EXPECT_NE(hashOf(std::string(32, 'a') + std::string(32, 'b')),
              hashOf(std::string(32, 'b') + std::string(32, 'a')));
}

}  // namespace
}  // namespace korvane
