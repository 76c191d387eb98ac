#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

// AddressSanitizer reserves terabytes of address space, so a test cannot
// limit a process's memory under it.

namespace korvane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// The names in a folder, for checking that a write leaves nothing behind.
std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

mode_t typeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Sets an environment variable for the life of the object.
class EnvironmentGuard {
  public:
    EnvironmentGuard(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentGuard() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Catches reads that wait for ever on a FIFO or read a device without end,
// and folders read as files.
TEST(AtomicFileRead, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const struct {
        const char* name;
        std::string path;
        std::string reason;
    } rows[] = {
        {"FIFO with a writer that never ends", fifo, "not a regular file"},
        {"endless device", "/dev/zero", "not a regular file"},
        {"folder", dir.path(), std::strerror(EISDIR)},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(test::runInChild(
            [&] {
                // Reading /dev/zero wrongly must not take the machine's memory.
                if (!test::kUnderAddressSanitizer && !test::limitAddressSpace(256u << 20))
                    return false;
                // A writer that keeps the FIFO open: a read would never see
                // its end.
                const int writer = ::open(fifo.c_str(), O_RDWR);
                std::string bytes = "left over";
                const FileResult r = readWholeFile(row.path, bytes);
                ::close(writer);
                return !r.ok && r.error == row.reason && bytes.empty();
            },
            5))
            << row.name;
    }
}

// Catches a file too large for memory ending the program with an exception
// instead of failing the read.
TEST(AtomicFileRead, FileLargerThanMemoryIsAnError) {
    if (test::kUnderAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer's address space cannot be limited";
    TempDir dir;
    const std::string path = dir.file("huge");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{2} << 30), 0);  // 2 GB, sparse
    ::close(fd);
    EXPECT_TRUE(test::runInChild([&] {
        if (!test::limitAddressSpace(256u << 20))
            return false;
        std::string bytes;
        const FileResult r = readWholeFile(path, bytes);
        return !r.ok && r.error == "not enough memory" && bytes.empty();
    }));
}

struct TargetRow {
    const char* name;
    // Makes the target in `dir` and returns the path to write to.
    std::function<std::string(const TempDir& dir)> make;
    bool ok;
    std::string errorMentions;
    // Checks what the write reached; empty when there is nothing to check.
    std::function<void(const TempDir& dir)> check;
};

// Catches writes that replace a FIFO, a device, a socket or a link with a
// regular file (and report success), or that block on a FIFO nobody reads.
TEST(AtomicFileWrite, NeverReplacesWhatIsNotARegularFile) {
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(::pipe(pipeEnds), 0);
    // Nothing to read must not stop the test.
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    int fifoReader = -1;
    int removedFile = -1;
    const std::string page = "<P>page</P>\r\n";
    const auto readEnd = [&](int fd) {
        char buffer[256] = {};
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    };
    const TargetRow rows[] = {
        {"FIFO with a reader",
         [&](const TempDir& dir) {
             EXPECT_EQ(::mkfifo(dir.file("t").c_str(), 0666), 0);
             fifoReader = ::open(dir.file("t").c_str(), O_RDONLY | O_NONBLOCK);
             return dir.file("t");
         },
         true, "",
         [&](const TempDir&) {
             EXPECT_EQ(readEnd(fifoReader), page);
             ::close(fifoReader);
         }},
        {"FIFO nobody reads",
         [](const TempDir& dir) {
             EXPECT_EQ(::mkfifo(dir.file("t").c_str(), 0666), 0);
             return dir.file("t");
         },
         false, "pipe", nullptr},
        {"device node",
         [](const TempDir& dir) {
             // The null device, made here so that no test touches /dev.
             if (::mknod(dir.file("t").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                 writeFile(dir.file("t-not-made"), "");
             return dir.file("t");
         },
         true, "", nullptr},
        {"socket",
         [](const TempDir& dir) {
             const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, dir.file("t").c_str(), sizeof address.sun_path - 1);
             EXPECT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
             ::close(s);
             return dir.file("t");
         },
         false, "socket", nullptr},
        {"link through /proc to a pipe, as /dev/stdout is",
         [&](const TempDir& dir) {
             const std::string magic = "/proc/self/fd/" + std::to_string(pipeEnds[1]);
             EXPECT_EQ(::symlink(magic.c_str(), dir.file("t").c_str()), 0);
             return dir.file("t");
         },
         true, "", [&](const TempDir&) { EXPECT_EQ(readEnd(pipeEnds[0]), page); }},
        {"link through /proc to a removed file",
         [&](const TempDir& dir) {
             writeFile(dir.file("gone"), "old");
             removedFile = ::open(dir.file("gone").c_str(), O_RDWR);
             ::unlink(dir.file("gone").c_str());
             const std::string magic = "/proc/self/fd/" + std::to_string(removedFile);
             EXPECT_EQ(::symlink(magic.c_str(), dir.file("t").c_str()), 0);
             return dir.file("t");
         },
         true, "",
         [&](const TempDir&) {
             char buffer[64] = {};
             const ssize_t n = ::pread(removedFile, buffer, sizeof buffer, 0);
             EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))),
                       page);
             ::close(removedFile);
         }},
        {"dangling chain of relative links",
         [](const TempDir& dir) {
             std::filesystem::create_directory(dir.file("a"));
             std::filesystem::create_directory(dir.file("b"));
             EXPECT_EQ(::symlink("b/l2", dir.file("t").c_str()), 0);
             EXPECT_EQ(::symlink("../a/end.htm", dir.file("b/l2").c_str()), 0);
             return dir.file("t");
         },
         true, "",
         [&](const TempDir& dir) {
             EXPECT_EQ(typeOf(dir.file("b/l2")), S_IFLNK);
             EXPECT_EQ(readFile(dir.file("a/end.htm")), page);
             EXPECT_EQ(namesIn(dir.file("a")), std::set<std::string>{"end.htm"});
         }},
        {"link to a file in another folder",
         [](const TempDir& dir) {
             std::filesystem::create_directory(dir.file("a"));
             writeFile(dir.file("a/real.htm"), "old");
             EXPECT_EQ(::symlink("a/real.htm", dir.file("t").c_str()), 0);
             return dir.file("t");
         },
         true, "",
         [&](const TempDir& dir) {
             EXPECT_EQ(readFile(dir.file("a/real.htm")), page);
             EXPECT_EQ(namesIn(dir.file("a")), std::set<std::string>{"real.htm"});
         }},
        {"link loop",
         [](const TempDir& dir) {
             EXPECT_EQ(::symlink("u", dir.file("t").c_str()), 0);
             EXPECT_EQ(::symlink("t", dir.file("u").c_str()), 0);
             return dir.file("t");
         },
         false, std::strerror(ELOOP), nullptr},
        {"folder",
         [](const TempDir& dir) {
             std::filesystem::create_directory(dir.file("t"));
             return dir.file("t");
         },
         false, std::strerror(EISDIR), nullptr},
    };
    for (const auto& row : rows) {
        TempDir dir;
        // Should a backup of an in-place write go to the cache folder, it
        // must not be the real one of whoever runs the tests.
        const EnvironmentGuard cache("XDG_CACHE_HOME", dir.file("cache"));
        const std::string path = row.make(dir);
        if (std::filesystem::exists(dir.file("t-not-made"))) {
            std::cout << "skipped: " << row.name << " (cannot be made here)\n";
            continue;
        }
        const mode_t type = typeOf(path);
        const std::set<std::string> before = namesIn(dir.path());
        const FileResult r = writeFileAtomically(path, page);
        EXPECT_EQ(r.ok, row.ok) << row.name << ": " << r.error;
        EXPECT_NE(r.error.find(row.errorMentions), std::string::npos)
            << row.name << ": " << r.error;
        EXPECT_EQ(typeOf(path), type) << row.name;
        EXPECT_EQ(namesIn(dir.path()), before) << row.name;
        if (row.check)
            row.check(dir);
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

// Catches the protection of a file without write bits lost to root, and a
// new file created with mkstemp's private mode instead of the umask's.
TEST(AtomicFileWrite, ReadOnlyFilesAndNewFilesKeepTheirRules) {
    TempDir dir;
    writeFile(dir.file("locked.htm"), "keep");
    ::chmod(dir.file("locked.htm").c_str(), 0444);
    const FileResult refused = writeFileAtomically(dir.file("locked.htm"), "new");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(readFile(dir.file("locked.htm")), "keep");

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(writeFileAtomically(dir.file("new.htm"), "x").ok);
    ::umask(mask);
    EXPECT_EQ(statOf(dir.file("new.htm")).st_mode & 07777, 0644u);
}

// Catches a save by root that makes another user's file root's, drops the
// group (a page of the web server's group becomes unreadable to it) or the
// setuid, setgid and sticky bits.
TEST(AtomicFileWrite, KeepsOwnerGroupAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user takes root";
    const struct {
        const char* name;
        uid_t uid;
        gid_t gid;
        mode_t mode;
    } rows[] = {
        {"another user's file", kNobody, kNogroup, 0644},
        {"root's file of a server's group", 0, kNogroup, 0640},
        {"setuid and setgid", kNobody, kNogroup, 06755},
        {"sticky", kNobody, kNogroup, 01664},
        {"private", kNobody, 0, 0600},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const std::string path = dir.file("page.htm");
        writeFile(path, "old");
        ASSERT_EQ(::chown(path.c_str(), row.uid, row.gid), 0);
        ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
        ASSERT_TRUE(writeFileAtomically(path, "new").ok) << row.name;
        const struct stat st = statOf(path);
        EXPECT_EQ(st.st_uid, row.uid) << row.name;
        EXPECT_EQ(st.st_gid, row.gid) << row.name;
        EXPECT_EQ(st.st_mode & 07777, row.mode) << row.name;
        EXPECT_EQ(readFile(path), "new") << row.name;
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"page.htm"}) << row.name;
    }
}

// An access ACL as the kernel stores it: version 2, then entries of tag,
// permissions and id, little-endian.
std::string aclValue(const std::vector<std::array<std::uint32_t, 3>>& entries) {
    std::string value;
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            value += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(2, 4);
    for (const auto& [tag, perm, id] : entries) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return value;
}

constexpr std::uint32_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10,
                        kOther = 0x20, kUndefinedId = 0xFFFFFFFF;

std::string attribute(const std::string& path, const char* name) {
    char buffer[1024];
    const ssize_t n = ::getxattr(path.c_str(), name, buffer, sizeof buffer);
    return n < 0 ? std::string("(none)") : std::string(buffer, static_cast<std::size_t>(n));
}

// Catches a save that drops the file's ACL or its user attributes, or gives
// it the folder's default ACL that the old file did not have.
TEST(AtomicFileWrite, KeepsExtendedAttributesAndAcls) {
    const std::string acl = aclValue({{kUserObj, 6, kUndefinedId},
                                      {kUser, 6, kNobody},
                                      {kGroupObj, 4, kUndefinedId},
                                      {kMask, 6, kUndefinedId},
                                      {kOther, 0, kUndefinedId}});
    {
        TempDir probe;
        writeFile(probe.file("f"), "");
        if (::setxattr(probe.file("f").c_str(), "system.posix_acl_access", acl.data(), acl.size(),
                       0) != 0) {
            GTEST_SKIP() << "no ACLs where the tests put their files";
        }
    }
    const struct {
        const char* name;
        const char* attributeName;
        std::string value;  // "(none)": the file has no such attribute
        bool folderDefaultAcl;
    } rows[] = {
        {"user attribute", "user.origin", "http://example.jp/", false},
        {"ACL granting another user", "system.posix_acl_access", acl, false},
        {"no ACL in a folder with a default ACL", "system.posix_acl_access", "(none)", true},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const std::string path = dir.file("page.htm");
        writeFile(path, "old");
        ::chmod(path.c_str(), 0660);
        if (row.value != "(none)") {
            ASSERT_EQ(
                ::setxattr(path.c_str(), row.attributeName, row.value.data(), row.value.size(), 0),
                0)
                << row.name;
        }
        if (row.folderDefaultAcl) {
            ASSERT_EQ(::setxattr(dir.path().c_str(), "system.posix_acl_default", acl.data(),
                                 acl.size(), 0),
                      0);
        }
        const mode_t mode = statOf(path).st_mode & 07777;
        ASSERT_TRUE(writeFileAtomically(path, "new").ok) << row.name;
        EXPECT_EQ(attribute(path, row.attributeName), row.value) << row.name;
        EXPECT_EQ(statOf(path).st_mode & 07777, mode) << row.name;
        EXPECT_EQ(readFile(path), "new") << row.name;
    }
}

// Catches a save that breaks a hard link (the other name would keep the old
// page), and a backup beside a long name that cannot be made because its
// own name would be too long.
TEST(AtomicFileWrite, KeepsHardLinks) {
    std::string longName = "a";
    for (int i = 0; i < 83; ++i)
        longName += "\xE3\x81\x82";  // あ, cut in the middle by the backup's name
    longName += ".htm";
    for (const std::string& name : {std::string("page.htm"), longName}) {
        TempDir dir;
        std::filesystem::create_directory(dir.file("site"));
        // Never the real cache folder of whoever runs the tests.
        const EnvironmentGuard cache("XDG_CACHE_HOME", dir.file("cache"));
        const std::string path = dir.file("site/" + name);
        writeFile(path, "old contents, longer than the new");
        ASSERT_EQ(::link(path.c_str(), dir.file("site/other.htm").c_str()), 0);
        const ino_t inode = statOf(path).st_ino;
        const FileResult r = writeFileAtomically(path, "new");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(readFile(dir.file("site/other.htm")), "new");
        EXPECT_EQ(statOf(path).st_ino, inode);
        EXPECT_EQ(statOf(path).st_nlink, 2u);
        EXPECT_EQ(namesIn(dir.file("site")), (std::set<std::string>{"other.htm", name}));
        EXPECT_FALSE(std::filesystem::exists(dir.file("cache/korvane/backups")));
    }
}

// Catches an in-place write that leaves a mixture of old and new contents, or
// litters the folder with its backup, when writing fails midway.
TEST(AtomicFileWrite, FailureMidwayPutsTheOldContentsBack) {
    TempDir dir;
    const std::string path = dir.file("page.htm");
    const std::string old(1000, 'o');
    writeFile(path, old);
    // A second name makes the write go in place.
    ASSERT_EQ(::link(path.c_str(), dir.file("other.htm").c_str()), 0);
    EXPECT_TRUE(test::runInChild([&] {
        // The file size limit lets the backup through and stops the new
        // contents at 4096 bytes.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        const FileResult r = writeFileAtomically(path, std::string(10000, 'n'));
        return !r.ok && r.error == std::strerror(EFBIG);
    }));
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"other.htm", "page.htm"}));
}

// Runs as the user "nobody" on files the test sets up as root: catches a save
// that cannot write a file it may write because the folder is not its own
// (a web root of another user), one that keeps a group by giving it up, and
// one that writes in place without a backup to go back to.
TEST(AtomicFileWrite, WritesInPlaceWhereTheRenameCannotKeepTheFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "setting up files of other users takes root";
    const struct {
        const char* name;
        mode_t folderMode;
        uid_t owner;  // of the file
        gid_t group;
        bool cacheWritable;  // the fallback for the backup
        bool ok;
    } rows[] = {
        {"web root of another user", 0755, 0, 0, true, true},
        {"group the writer is not in", 0777, kNobody, 12345, true, true},
        {"no place for a backup", 0755, 0, 0, false, false},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
            !unreachable.empty())
            GTEST_SKIP() << unreachable;
        const std::string site = dir.file("www");
        const std::string cache = dir.file("cache");
        const std::string path = site + "/index.htm";
        std::filesystem::create_directory(site);
        std::filesystem::create_directory(cache);
        writeFile(path, "old page");
        ASSERT_EQ(::chown(path.c_str(), row.owner, row.group), 0);
        ::chmod(path.c_str(), 0666);
        ::chmod(site.c_str(), row.folderMode);
        ::chmod(cache.c_str(), row.cacheWritable ? 0777 : 0555);
        const bool asExpected = test::runUnprivileged([&] {
            // Never the real cache folder of whoever runs the tests.
            ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
            const FileResult r = writeFileAtomically(path, "new page");
            return r.ok == row.ok && (r.ok || r.error.find("copy") != std::string::npos);
        });
        EXPECT_TRUE(asExpected) << row.name;
        EXPECT_EQ(readFile(path), row.ok ? "new page" : "old page") << row.name;
        EXPECT_EQ(statOf(path).st_uid, row.owner) << row.name;
        EXPECT_EQ(statOf(path).st_gid, row.group) << row.name;
        EXPECT_EQ(namesIn(site), std::set<std::string>{"index.htm"}) << row.name;
        const std::string backups = cache + "/korvane/backups";
        if (std::filesystem::exists(backups)) {
            EXPECT_TRUE(namesIn(backups).empty()) << row.name;
        }
    }
}

// Catches temporary files of dead writers left for good, and clean-ups that
// take a live writer's file, another machine's, a backup or anything else.
TEST(TemporaryFiles, RemovesOnlyThoseOfDeadWritersOnThisMachine) {
    const long dead = test::endedProcessId();
    ASSERT_GT(dead, 0);
    const std::string deadPrefix = temporaryFilePrefix(dead);
    const struct {
        std::string name;
        bool kept;
    } rows[] = {
        {deadPrefix + "a1B2c3", false},
        {temporaryFilePrefix(::getpid()) + "a1B2c3", true},
        {temporaryFilePrefix(1) + "a1B2c3", true},
        {".korvane-othermachine-" + std::to_string(dead) + "-a1B2c3", true},
        {".page.htm.korvane-backup-" + deadPrefix.substr(9) + "a1B2c3", true},
        {deadPrefix + "a1B2c", true},
        {deadPrefix + "a1B2c3.htm", true},
        {"page.htm", true},
    };
    for (const char* by : {"clean-up", "save", "save in place"}) {
        TempDir dir;
        for (const auto& row : rows)
            writeFile(dir.file(row.name), "x");
        std::filesystem::create_directory(dir.file(deadPrefix + "d1R2x3"));
        if (by == std::string("clean-up")) {
            EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 1);
        } else {
            // A second name makes the save go in place.
            if (by == std::string("save in place")) {
                ASSERT_EQ(::link(dir.file("page.htm").c_str(), dir.file("other.htm").c_str()), 0);
            }
            ASSERT_TRUE(writeFileAtomically(dir.file("page.htm"), "y").ok) << by;
        }
        for (const auto& row : rows)
            EXPECT_EQ(std::filesystem::exists(dir.file(row.name)), row.kept)
                << row.name << " (" << by << ")";
        EXPECT_TRUE(std::filesystem::is_directory(dir.file(deadPrefix + "d1R2x3")));
    }
}

// A save killed midway: catches a temporary file that does not name its
// writer, or that the next save in the folder leaves behind.
TEST(TemporaryFiles, NextSaveRemovesWhatAKilledSaveLeft) {
    TempDir dir;
    const std::string path = dir.file("page.htm");
    writeFile(path, "old");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Exceeding the size limit kills the writer where it stands.
        const rlimit size{4096, 4096};
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        ::setrlimit(RLIMIT_FSIZE, &size);
        writeFileAtomically(path, std::string(10000, 'n'));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    std::set<std::string> left = namesIn(dir.path());
    ASSERT_EQ(left.erase("page.htm"), 1u);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.begin()->rfind(temporaryFilePrefix(pid), 0), 0u) << *left.begin();
    EXPECT_EQ(readFile(path), "old");

    ASSERT_TRUE(writeFileAtomically(path, "new").ok);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"page.htm"});
}

// The one name in `folder` that is not among `known`: what a write left.
std::string leftIn(const std::string& folder, const std::set<std::string>& known) {
    std::set<std::string> names = namesIn(folder);
    for (const std::string& name : known)
        names.erase(name);
    EXPECT_EQ(names.size(), 1u) << folder;
    return names.empty() ? std::string() : folder + "/" + *names.begin();
}

// The copy of the old contents that an in-place save killed midway leaves,
// as the writer that died left it or renamed to look like another writer's.
// Catches such a copy never found, nor through a link to the file, one of a
// writer still at work (this very process) reported, one hidden by a later
// process that got the dead writer's id, and one of another machine that
// shares the folder reported.
TEST(InterruptedSaves, FoundWhenTheirWriterIsGone) {
    const std::string self = std::to_string(::getpid());
    const struct {
        const char* name;
        std::string host;  // the writer's, in the copy's name; empty: as written
        bool thisProcess;  // the writer's id made this process's
        bool writtenLongAgo;
        bool found;
    } rows[] = {
        {"writer that died", "", false, false, true},
        {"writer still at work", "", true, false, false},
        {"writer's id now of a process started later", "", true, true, true},
        {"writer of another machine", "othermachine", false, false, false},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const EnvironmentGuard cache("XDG_CACHE_HOME", dir.file("cache"));
        const std::string path = dir.file("page.htm");
        const std::string old = "old contents";
        writeFile(path, old);
        // A second name makes the save go in place.
        ASSERT_EQ(::link(path.c_str(), dir.file("other.htm").c_str()), 0);
        ASSERT_EQ(::symlink("page.htm", dir.file("link.htm").c_str()), 0);
        const long writer = test::interruptSaveInPlace(path, std::string(100, 'n'));
        ASSERT_GT(writer, 0) << row.name;
        const std::string left = leftIn(dir.path(), {"page.htm", "other.htm", "link.htm"});
        EXPECT_EQ(readFile(left), old) << row.name;
        EXPECT_NE(readFile(path), old) << row.name;

        const std::string signature = "-" + machineToken() + "-" + std::to_string(writer) + "-";
        std::string backup = left;
        const auto at = backup.rfind(signature);
        ASSERT_NE(at, std::string::npos) << backup;
        backup.replace(at, signature.size(),
                       "-" + (row.host.empty() ? machineToken() : row.host) + "-" +
                           (row.thisProcess ? self : std::to_string(writer)) + "-");
        ASSERT_EQ(::rename(left.c_str(), backup.c_str()), 0);
        if (row.writtenLongAgo) {
            const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 24 * 3600, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, backup.c_str(), times, 0), 0);
        }
        const std::vector<std::string> want =
            row.found ? std::vector<std::string>{backup} : std::vector<std::string>{};
        EXPECT_EQ(findInterruptedBackups(path), want) << row.name;
        EXPECT_EQ(findInterruptedBackups(dir.file("link.htm")), want) << row.name << " (link)";
    }
}

// Runs as the user "nobody" where the folder refuses the copy, so that it
// goes to the cache folder, among the copies of the files of that name from
// every folder: catches it not found there, the copy of another folder's
// file of the same name taken for this one's, and a copy or a folder of
// copies that others may read.
TEST(InterruptedSaves, CopiesInTheCacheFolderBelongToTheirFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a folder that refuses its writer takes root to set up";
    TempDir dir;
    if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
        !unreachable.empty())
        GTEST_SKIP() << unreachable;
    const std::string cache = dir.file("cache");
    std::filesystem::create_directory(cache);
    ::chmod(cache.c_str(), 0777);
    for (const char* site : {"a", "b"}) {
        std::filesystem::create_directory(dir.file(site));
        writeFile(dir.file(std::string(site) + "/page.htm"), "old page");
        ::chmod(dir.file(std::string(site) + "/page.htm").c_str(), 0666);
    }
    const std::string page = dir.file("a/page.htm");
    const std::string samePage = dir.file("b/page.htm");
    const auto asWriter = [&](const std::function<bool()>& body) {
        return test::runUnprivileged([&] {
            // Never the real cache folder of whoever runs the tests.
            ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
            return body();
        });
    };
    ASSERT_TRUE(asWriter([&] { return test::interruptSaveInPlace(page, "new page, longer") > 0; }));
    EXPECT_EQ(namesIn(dir.file("a")), std::set<std::string>{"page.htm"});
    const std::string backups = cache + "/korvane/backups";
    const std::string backup = leftIn(backups, {});
    EXPECT_EQ(readFile(backup), "old page");
    EXPECT_EQ(statOf(backup).st_mode & 07777, 0600u);
    EXPECT_EQ(statOf(backups).st_mode & 07777, 0700u);

    EXPECT_TRUE(asWriter([&] { return findInterruptedBackups(page) == std::vector{backup}; }))
        << "the file's own copy";
    EXPECT_TRUE(asWriter([&] { return findInterruptedBackups(samePage).empty(); }))
        << "the copy of a file of the same name in another folder";
}

}  // namespace
}  // namespace korvane
