#include "platform/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>

#include "platform/atomic_file.h"
#include "tests/support/child_process.h"
#include "tests/support/concurrent_children.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace korvane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct LookupRow {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

// Catches readers that take lines, names or values differently from the
// Windows profile functions, and a loaded file that disagrees with a lookup.
TEST(ProfileRead, TakesLinesNamesAndValuesLikeWindows) {
    const std::string dup = "[W]\r\nk=1\r\n[w]\r\nk=2\r\nj=3\r\n";
    const LookupRow rows[] = {
        {"names ignore case", "[WINDOW]\r\nheight=5\r\n", "Window", "Height", "5"},
        {"blanks trimmed", "  [ W ] \r\n\t k \t= a b \r\n", "W", "k", "a b"},
        {"first section wins", dup, "W", "k", "1"},
        {"key of a duplicate section unseen", dup, "W", "j", std::nullopt},
        {"first key wins", "[W]\r\nk=1\r\nK=2\r\n", "W", "k", "1"},
        {"matching quotes dropped", "[W]\r\nk=\" a \"\r\n", "W", "k", " a "},
        {"lone quote kept", "[W]\r\nk=\"\r\n", "W", "k", "\""},
        {"one-sided quote kept", "[W]\r\nk=\"ab\r\n", "W", "k", "\"ab"},
        {"LF lines", "[W]\nk=1\n", "W", "k", "1"},
        {"CR lines", "[W]\rk=1\r", "W", "k", "1"},
        {"no final break", "[W]\r\nk=1", "W", "k", "1"},
        {"comment", "[W]\r\n;k=1\r\n", "W", "k", std::nullopt},
        {"key without equals", "[W]\r\nk\r\n", "W", "k", std::nullopt},
        {"empty value", "[W]\r\nk=\r\n", "W", "k", ""},
        {"equals and semicolon in value", "[W]\r\nk=a=b;c\r\n", "W", "k", "a=b;c"},
        {"broken header keeps section", "[A]\r\n[B\r\nk=1\r\n", "A", "k", "1"},
        {"broken header opens none", "[A]\r\n[B\r\nk=1\r\n", "B", "k", std::nullopt},
        {"key before any section", "k=1\r\n[W]\r\n", "W", "k", std::nullopt},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF[W]\r\nk=1\r\n", "W", "k", "1"},
        {"] as second byte", "[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k", "1"},
        {"second bytes not case-folded", "[\x83\x41]\r\nk=1\r\n", "\x83\x61", "k", std::nullopt},
        {"= and [ inside names", "[a=b] x\r\nk[x]=v\r\n", "a=b", "k[x]", "v"},
        {"backslashes outside quotes", "[W]\r\nk=C:\\new\\x.jpg\\\r\n", "W", "k",
         "C:\\new\\x.jpg\\"},
        {"escapes in quotes", "[W]\r\nk=\"a\\r\\nb\\\\\\\"\\q\\x81\"\r\n", "W", "k",
         "a\r\nb\\\"\\q\x81"},
        {"\\ second byte in quotes", "[W]\r\nk=\"\x95\\n\"\r\n", "W", "k", "\x95\\n"},
    };
    TempDir dir;
    for (const auto& row : rows) {
        EXPECT_EQ(profileLookup(row.file, row.section, row.key), row.expected) << row.name;
        writeFile(dir.file("a.ini"), row.file);
        Profile profile(dir.file("a.ini"));
        EXPECT_TRUE(profile.load().exists);
        EXPECT_EQ(profile.lookup(row.section, row.key), row.expected) << row.name << " (loaded)";
    }
}

// Catches integers read by the wrong rules: hex prefixes, signs, overflow.
TEST(ProfileRead, IntegersByTheirRules) {
    const struct {
        const char* text;
        std::int32_t expected;
    } rows[] = {
        {"512", 512},
        {"-5", -5},
        {"0x200", 512},
        {"0X1f", 31},
        {"$200", 512},
        {"$FFFFFFFF", -1},
        {"-2147483648", INT32_MIN},
        {"0x", 7},
        {"$", 7},
        {"", 7},
        {"-", 7},
        {"abc", 7},
        {"+5", 7},
        {"12a", 7},
        {"0x1G", 7},
        {"-$10", 7},
        {"2147483648", 7},
        {"$100000000", 7},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseProfileInteger(row.text, 7), row.expected) << row.text;
}

// Catches strings not cut to 2047 bytes, cut inside a double-byte character,
// or cut before the escapes are undone.
TEST(ProfileRead, StringsCutAt2047BytesOnACharacterBoundary) {
    const std::string a2047(2047, 'a');
    const std::string breaks(2000, '\n');  // written as 4000 bytes of escapes
    const struct {
        const char* name;
        std::string value;
        std::string expected;
    } rows[] = {
        {"at the limit", a2047, a2047},
        {"one over", a2047 + "b", a2047},
        {"double-byte across the limit", std::string(2046, 'a') + "\x95\x5C",
         std::string(2046, 'a')},
        {"double-byte ending at the limit", std::string(2045, 'a') + "\x95\x5C",
         std::string(2045, 'a') + "\x95\x5C"},
        {"limit counts the unescaped value", breaks, breaks},
    };
    TempDir dir;
    Profile profile(dir.file("a.ini"));
    for (const auto& row : rows) {
        ASSERT_TRUE(profile.writeString("S", "k", row.value).ok);
        EXPECT_EQ(profile.readString("S", "k", "x"), row.expected) << row.name;
    }
    EXPECT_EQ(profile.readString("S", "missing", "x"), "x");
}

// Catches writes that disturb other lines, put a key outside its section or
// escape values that could be written as they stand.
TEST(ProfileWrite, ChangesOnlyItsOwnLine) {
    const struct {
        const char* name;
        std::optional<std::string> before;  // nothing: no file yet
        std::string key;
        std::string value;
        std::string after;
    } rows[] = {
        {"first write creates the file", std::nullopt, "k", "v", "[W]\r\nk=v\r\n"},
        {"replaces its line only", "; c\r\n[W]\r\nx=1\r\n  K = old \r\n\r\n[Z]\r\nq\r\n", "k",
         "new", "; c\r\n[W]\r\nx=1\r\nK=new\r\n\r\n[Z]\r\nq\r\n"},
        {"adds after the section's last line", "[W]\r\nx=1\r\n\r\n[Z]\r\n", "k", "v",
         "[W]\r\nx=1\r\nk=v\r\n\r\n[Z]\r\n"},
        {"adds to a last line without break", "[W]\r\nx=1", "k", "v", "[W]\r\nx=1\r\nk=v\r\n"},
        {"adds the section at the end", "[Z]\nq=1", "k", "v", "[Z]\nq=1\r\n[W]\r\nk=v\r\n"},
        {"first of duplicate sections", "[W]\r\n[W]\r\nk=2\r\n", "k", "v",
         "[W]\r\nk=v\r\n[W]\r\nk=2\r\n"},
        {"keeps byte order mark and LF", "\xEF\xBB\xBF[W]\nk=1\nx=2\n", "k", "3",
         "\xEF\xBB\xBF[W]\nk=3\nx=2\n"},
        {"path as it stands", std::nullopt, "k", "C:\\\x95\\\\a.jpg",
         "[W]\r\nk=C:\\\x95\\\\a.jpg\r\n"},
        {"quoted form", std::nullopt, "k", "<a>\r\n\"\x95\x5C\" \\",
         "[W]\r\nk=\"<a>\\r\\n\\\"\x95\x5C\\\" \\\\\"\r\n"},
        {"lone first byte before an escape", std::nullopt, "k", "\x81\n",
         "[W]\r\nk=\"\\x81\\n\"\r\n"},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (row.before)
            writeFile(dir.file("a.ini"), *row.before);
        ASSERT_TRUE(Profile(dir.file("a.ini")).writeString("W", row.key, row.value).ok) << row.name;
        EXPECT_EQ(readFile(dir.file("a.ini")), row.after) << row.name;
    }
}

// Catches values that do not read back exactly, or whose lines could be
// taken for a section or key: breaks, brackets, quotes, blanks, 0x5C second
// bytes and lone first bytes in random mixtures.
TEST(ProfileWrite, RandomValuesReadBackExactly) {
    const std::string pieces[] = {
        "\r\n",  "\r",  "\n",       "[x]",      "k=v",  ";c", " ", "\t",
        "\"",    "\\",  "\x95\x5C", "\x83\x5C", "\x81", "a",  "=", std::string(1, '\0'),
        "\\x41", "\\n", "\x82\xA0"};
    const std::string base = "[A]\r\nv=0\r\n[D]\r\nx=2\r\n[Z]\r\nv=3\r\n";
    std::mt19937 random(42);
    for (int round = 0; round < 400; ++round) {
        std::string value;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            value += pieces[random() % std::size(pieces)];
        const std::string file = profileWithValue(base, "D", "v", value);
        ASSERT_EQ(profileLookup(file, "D", "v"), value) << file;
        EXPECT_EQ(profileLookup(file, "D", "x"), "2");
        EXPECT_EQ(profileLookup(file, "A", "v"), "0");
        EXPECT_EQ(profileLookup(file, "Z", "v"), "3");
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 7) << file;
    }
}

// Catches lost keys when two copies of the program write at the same time.
TEST(ProfileWrite, TwoProcessesWritingAtOnceLoseNoKey) {
    TempDir dir;
    const std::string path = dir.file("krv13.ini");
    auto writer = [&](char prefix) {
        return [path, prefix] {
            Profile profile(path);
            for (int i = 0; i < 500; ++i) {
                if (!profile.writeInteger("S", prefix + std::to_string(i), i).ok)
                    return false;
            }
            return true;
        };
    };
    ASSERT_TRUE(test::runConcurrently({writer('a'), writer('b')}));
    Profile profile(path);
    profile.load();
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(profile.readInteger("S", "a" + std::to_string(i), -1), i);
        EXPECT_EQ(profile.readInteger("S", "b" + std::to_string(i), -1), i);
    }
}

// Catches failed writes reported as success, or that change, truncate or
// litter the folder (run without root's rights, which would write anyway),
// and reasons that blame something else (a missing file for a read-only
// folder).
TEST(ProfileWrite, FailedWriteLeavesTheFileAsItWas) {
    const struct {
        const char* name;
        bool lockFileExists;
        mode_t folderMode;
        mode_t fileMode;
        std::string reason;
    } rows[] = {
        {"read-only folder", false, 0555, 0644, "folder"},
        {"read-only folder, lock file there", true, 0555, 0644, std::strerror(EACCES)},
        {"file that cannot be read", true, 0777, 0222, std::strerror(EACCES)},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
            !unreachable.empty())
            GTEST_SKIP() << unreachable;
        const std::string folder = dir.file("prog");
        const std::string path = folder + "/krv13.ini";
        std::filesystem::create_directory(folder);
        const std::string old = "[W]\r\nk=1\r\n";
        writeFile(path, old);
        if (row.lockFileExists)
            writeFile(path + ".lock", "");
        ::chmod((path + ".lock").c_str(), 0666);
        ::chmod(path.c_str(), row.fileMode);
        ::chmod(folder.c_str(), row.folderMode);
        const auto entries = [&] {
            return std::distance(std::filesystem::directory_iterator(folder), {});
        };
        const auto before = entries();
        EXPECT_TRUE(test::runUnprivileged([&] {
            const ProfileWriteResult r = Profile(path).writeString("W", "k", "2");
            return !r.ok && r.path == path && r.error.find(row.reason) != std::string::npos &&
                   (row.reason == "folder" || r.error.find("No such") == std::string::npos);
        })) << row.name;
        ::chmod(path.c_str(), 0644);
        EXPECT_EQ(readFile(path), old) << row.name;
        EXPECT_EQ(entries(), before) << row.name;
    }
}

// A name that ends in the first byte of a double-byte character pairs with
// the "]" or "=" after it, so its line never reads back (a fuzzer found it):
// catches such a write taken, which adds another copy of the section at every
// write; names whose last character is whole stay writable.
TEST(ProfileWrite, NamesEndingInALoneLeadByteAreRefused) {
    TempDir dir;
    const std::string path = dir.file("krv13.ini");
    Profile profile(path);
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(profile.writeString("Sec\x81", "k", "v").ok);
        EXPECT_FALSE(profile.writeString("Sec", "k\xe0", "v").ok);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(profile.writeString("\x93\xfa", "\x96\x7b", "v").ok);
    ASSERT_TRUE(profile.writeString("\x93\xfa", "\x96\x7b", "w").ok);
    Profile reread(path);
    reread.load();
    EXPECT_EQ(reread.readString("\x93\xfa", "\x96\x7b", ""), "w");
    EXPECT_EQ(readFile(path), "[\x93\xfa]\r\n\x96\x7b=w\r\n");
}

// Catches a lock taken beside a link instead of the file it points to: a
// copy given the link and one given the real path would write at the same
// time and lose each other's keys.
TEST(ProfileWrite, WritersThroughALinkAndTheRealPathLoseNoKey) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("real"));
    const std::string real = dir.file("real/krv13.ini");
    const std::string link = dir.file("krv13.ini");
    ASSERT_EQ(::symlink("real/krv13.ini", link.c_str()), 0);  // dangling until the first write
    auto writer = [](std::string path, char prefix) {
        return [path, prefix] {
            Profile profile(path);
            for (int i = 0; i < 500; ++i) {
                if (!profile.writeInteger("S", prefix + std::to_string(i), i).ok)
                    return false;
            }
            return true;
        };
    };
    ASSERT_TRUE(test::runConcurrently({writer(link, 'a'), writer(real, 'b')}));
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    Profile profile(real);
    profile.load();
    int lost = 0;
    for (int i = 0; i < 500; ++i) {
        lost += profile.readInteger("S", "a" + std::to_string(i), -1) != i;
        lost += profile.readInteger("S", "b" + std::to_string(i), -1) != i;
    }
    EXPECT_EQ(lost, 0);
}

// Catches a write that waits as long as another program holds the lock,
// freezing the window, or that then writes without it.
TEST(ProfileWrite, LockHeldElsewhereFailsSoonWithTheReason) {
    TempDir dir;
    const std::string path = dir.file("krv13.ini");
    writeFile(path, "[W]\r\nk=1\r\n");
    const int held = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // In a child, so that a write that waits for ever ends the child, not
    // the test run.
    EXPECT_TRUE(test::runInChild(
        [&] {
            const auto start = std::chrono::steady_clock::now();
            const ProfileWriteResult r = Profile(path).writeString("W", "k", "2");
            const auto waited = std::chrono::steady_clock::now() - start;
            return !r.ok && r.error.find("locked") != std::string::npos &&
                   waited >= std::chrono::milliseconds(500) && waited < std::chrono::seconds(3);
        },
        20));
    ::close(held);
    EXPECT_EQ(readFile(path), "[W]\r\nk=1\r\n");
}

// Catches a file that cannot be read taken for a missing one: the user
// would be told there is no file, and the reason lost.
TEST(ProfileLoad, SaysWhyAFileCannotBeRead) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    const ProfileLoadResult folder = Profile(dir.file("folder.ini")).load();
    EXPECT_FALSE(folder.ok);
    EXPECT_TRUE(folder.exists);
    EXPECT_EQ(folder.error, std::strerror(EISDIR));

    const ProfileLoadResult missing = Profile(dir.file("none.ini")).load();
    EXPECT_TRUE(missing.ok);
    EXPECT_FALSE(missing.exists);

    if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
        !unreachable.empty())
        GTEST_SKIP() << unreachable;
    writeFile(dir.file("private.ini"), "[W]\r\n");
    ::chmod(dir.file("private.ini").c_str(), 0600);
    EXPECT_TRUE(test::runUnprivileged([&] {
        const ProfileLoadResult r = Profile(dir.file("private.ini")).load();
        return !r.ok && r.exists && r.error == std::strerror(EACCES);
    }));
}

// Catches temporary files of writers that died staying beside the settings
// file for good.
TEST(ProfileLoad, RemovesTemporaryFilesOfDeadWriters) {
    TempDir dir;
    const std::string stale = dir.file(temporaryFilePrefix(test::endedProcessId()) + "x1Y2z3");
    writeFile(stale, "[W]\r\n");
    writeFile(dir.file("krv13.ini"), "[W]\r\nk=1\r\n");
    Profile profile(dir.file("krv13.ini"));
    EXPECT_TRUE(profile.load().ok);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(profile.readInteger("W", "k", 0), 1);
}

}  // namespace
}  // namespace korvane
