#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/program_folder.h"

namespace korvane {

namespace {

constexpr const char* kNotRegularFile = "not a regular file";
// The kernel follows at most 40 links in one path; a longer chain is a loop
// as far as anyone can tell.
constexpr int kMaxLinkHops = 40;
// Enough of the file's name in a backup's name to tell what it is a copy of,
// with room for the rest within the 255 bytes a name may have.
constexpr std::size_t kBackupNameBytes = 120;
constexpr std::size_t kCopyBlock = 1 << 16;
constexpr std::string_view kBackupMark = ".korvane-backup-";
// How much later than a copy's last write a live process with its writer's
// id must have started to be taken for another process: the start time is
// read in whole seconds of boot time, and a step of the clock moves it.
constexpr double kClockSlack = 2.0;

FileResult failure(int err) {
    return {false, std::strerror(err)};
}

FileResult failure(std::string reason) {
    return {false, std::move(reason)};
}

FileResult success() {
    return {true, {}};
}

// Closes the descriptor it holds when it goes.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now; 0 or the error of close(), which on some file systems is
    // the first sign that the data did not reach the disk.
    int close() {
        const int fd = std::exchange(m_fd, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

  private:
    int m_fd = -1;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// 0 or the error.
int writeAllAt(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return 0;
}

int writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Copies the whole contents of `from` over the start of `to`, both from
// offset 0, without allocating (it also runs when a write has just failed);
// `copied` is the number of bytes. 0 or the error.
int copyContents(int from, int to, off_t& copied) {
    char block[kCopyBlock];
    copied = 0;
    for (;;) {
        const ssize_t n = ::pread(from, block, sizeof block, copied);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (const int err = writeAllAt(to, block, static_cast<std::size_t>(n), copied))
            return err;
        copied += n;
    }
}

std::string hostToken() {
    return machineToken();
}

constexpr std::string_view kTemporaryStart = ".korvane-";

// Takes apart the end of the name of a file a writer made:
// "<host>-<pid>-XXXXXX". The host token holds no "-", so the end has exactly
// one reading.
bool parseWriter(std::string_view name, std::string_view& host, long& pid) {
    const auto isAlnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    // mkstemp's six characters are letters and digits.
    if (name.size() < 7 || name[name.size() - 7] != '-' ||
        !std::all_of(name.end() - 6, name.end(), isAlnum)) {
        return false;
    }
    name.remove_suffix(7);
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size())
        return false;
    host = name.substr(0, dash);
    const std::string_view digits = name.substr(dash + 1);
    if (!std::all_of(host.begin(), host.end(), [&](char c) { return isAlnum(c) || c == '_'; }))
        return false;
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    pid = std::strtol(std::string(digits).c_str(), nullptr, 10);
    return pid > 0;
}

// A temporary file's name: ".korvane-<host>-<pid>-XXXXXX". Nothing else the
// program writes (backups in particular) has this form.
bool parseTemporaryName(std::string_view name, std::string_view& host, long& pid) {
    if (name.substr(0, kTemporaryStart.size()) != kTemporaryStart)
        return false;
    return parseWriter(name.substr(kTemporaryStart.size()), host, pid);
}

// Creates a file from `pattern` (ending in "XXXXXX") with mode 0600; the
// descriptor, or -1 with errno set. `pattern` becomes the file's name.
int createUnique(std::string& pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        pattern.assign(name.data());
    return fd;
}

// The attribute names of a file, from list*xattr's buffer; false when they
// cannot be listed. A file system without extended attributes has none.
template <typename List>
bool attributeNames(List list, std::vector<std::string>& names) {
    names.clear();
    for (;;) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
        const ssize_t got = list(buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == ERANGE)
                continue;  // an attribute was added meanwhile
            return false;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(got);) {
            const std::string name(buffer.data() + i);
            i += name.size() + 1;
            if (!name.empty())
                names.push_back(name);
        }
        return true;
    }
}

template <typename Get>
bool attributeValue(Get get, std::string& value) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        value.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = get(value.data(), value.size());
        if (got < 0) {
            if (errno == ERANGE)
                continue;
            return false;
        }
        value.resize(static_cast<std::size_t>(got));
        return true;
    }
}

// Gives the new file at `fd` exactly the extended attributes of the file at
// `source` (ACLs included): copies each one, and removes those the new file
// got on its own (a folder's default ACL) that the old file did not have.
// Attributes that already agree are left alone, so that one the writer may
// not set (a security label) does not stop the rename when it came out the
// same anyway. False when any of it cannot be done.
bool copyAttributes(const std::string& source, int fd) {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!attributeNames([&](char* b, std::size_t n) { return ::listxattr(source.c_str(), b, n); },
                        wanted) ||
        !attributeNames([&](char* b, std::size_t n) { return ::flistxattr(fd, b, n); }, present)) {
        return false;
    }
    for (const std::string& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(fd, name.c_str()) != 0) {
            return false;
        }
    }
    std::string value;
    std::string current;
    for (const std::string& name : wanted) {
        if (!attributeValue(
                [&](void* b, std::size_t n) {
                    return ::getxattr(source.c_str(), name.c_str(), b, n);
                },
                value)) {
            return false;
        }
        if (attributeValue(
                [&](void* b, std::size_t n) { return ::fgetxattr(fd, name.c_str(), b, n); },
                current) &&
            current == value) {
            continue;
        }
        if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    return true;
}

// Makes the new file at `fd` what the old one (`old`, at `source`) was:
// owner and group, extended attributes, mode. The order matters: changing
// the owner clears the setuid and setgid bits and file capabilities, and
// setting an ACL rewrites the permission bits, so the mode comes last. False
// when the new file cannot be made the same; the caller then writes the old
// file in place instead.
bool takeOverAttributes(int fd, const std::string& source, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    if (!copyAttributes(source, fd))
        return false;
    if (::fchmod(fd, old.st_mode & 07777) != 0 || ::fstat(fd, &now) != 0)
        return false;
    // Linux drops setgid without a word when the writer is not in the group.
    return now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

// A new file made by a save gets what the umask allows, as any new file.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// As much of a file's name as a backup's name has room for.
std::string backupBaseName(std::string name) {
    if (name.size() > kBackupNameBytes) {
        // Cut at a character: drop a UTF-8 character the cut went through.
        name.resize(kBackupNameBytes + 1);
        const auto byte = [&] { return static_cast<unsigned char>(name.back()); };
        const bool whole = (byte() & 0xC0) != 0x80;  // the next character starts here
        name.pop_back();
        if (!whole) {
            while (!name.empty() && (byte() & 0xC0) == 0x80)
                name.pop_back();
            if (!name.empty() && byte() >= 0xC0)
                name.pop_back();
        }
    }
    return name;
}

// The full path of the file `target`, with its folder's links resolved, so
// that every spelling of one file (relative, through a linked folder) gives
// the same one.
std::string fullPathOf(const std::string& target) {
    const std::unique_ptr<char, void (*)(void*)> folder(
        ::realpath(folderOf(target).c_str(), nullptr), std::free);
    if (folder)
        return inFolder(folder.get(), nameOf(target));
    if (!target.empty() && target.front() == '/')
        return target;
    return inFolder(currentFolder(), target);
}

// FNV-1a, 64 bits, in hex: short, and enough to tell folders apart.
std::string pathHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// The start of the names of the backups of `target`, up to the writer's
// "<host>-<pid>-XXXXXX". Beside the file: ".<name>.korvane-backup-". In the
// cache folder, where the files of one name from every folder meet, the
// file's full path goes in too, as a hash: "<name>.<hash>.korvane-backup-".
std::string besideBackupStart(const std::string& target) {
    return "." + backupBaseName(nameOf(target)) + std::string(kBackupMark);
}

std::string cacheBackupStart(const std::string& target) {
    return backupBaseName(nameOf(target)) + "." + pathHash(fullPathOf(target)) +
           std::string(kBackupMark);
}

std::string cacheBackupFolder() {
    return userCacheFolder() + "/backups";
}

// Creates the copy of the old contents for an in-place write of `path`:
// beside it when its folder allows, else in the user's cache folder (made
// 0700; the copy is 0600, as mkostemp makes it). The name says what it is a
// copy of and who wrote it, and never has the form of a temporary file, so
// no clean-up ever takes it. 0 or the error.
int createBackup(const std::string& path, Descriptor& fd, std::string& backupPath) {
    const std::string writer = hostToken() + "-" + std::to_string(::getpid()) + "-XXXXXX";
    backupPath = inFolder(folderOf(path), besideBackupStart(path) + writer);
    fd.reset(createUnique(backupPath));
    if (fd.valid())
        return 0;
    const int besideError = errno;
    const std::string folder = cacheBackupFolder();
    std::string error;
    if (!ensureFolderExists(folder, error))
        return besideError;
    backupPath = inFolder(folder, cacheBackupStart(path) + writer);
    fd.reset(createUnique(backupPath));
    return fd.valid() ? 0 : errno;
}

// Writes `bytes` over the regular file at `path`, which keeps everything it
// is (inode, owner, group, mode, attributes, other names).
//
// A failure midway must not leave the user with a mixture, so the old
// contents are copied to a backup file and flushed first; without that copy
// nothing is written. Then the new bytes go in from offset 0, the file is cut
// to their size and flushed. If any of that fails, the old contents are
// copied back the same way from the backup and the backup removed, and the
// failure is reported; if putting them back fails too, the backup stays and
// the error names it, since it is then the only whole copy. A process killed
// midway leaves the backup too, for the same reason.
FileResult writeInPlace(const std::string& path, std::string_view bytes) {
    Descriptor fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return failure(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return failure(errno);
    if (!S_ISREG(st.st_mode))
        return failure(kNotRegularFile);

    Descriptor backup;
    std::string backupPath;
    if (const int err = createBackup(path, backup, backupPath)) {
        return failure(std::string("cannot keep a copy of the old contents: ") +
                       std::strerror(err));
    }
    off_t oldSize = 0;
    int err = copyContents(fd.get(), backup.get(), oldSize);
    if (err == 0 && ::fsync(backup.get()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(backupPath.c_str());
        return failure(std::string("cannot keep a copy of the old contents: ") +
                       std::strerror(err));
    }

    err = writeAllAt(fd.get(), bytes.data(), bytes.size(), 0);
    if (err == 0 && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0)
        err = errno;
    if (err == 0 && ::fsync(fd.get()) != 0)
        err = errno;
    if (err == 0) {
        backup.close();
        ::unlink(backupPath.c_str());
        return success();
    }

    off_t restored = 0;
    int restoreError = copyContents(backup.get(), fd.get(), restored);
    if (restoreError == 0 && ::ftruncate(fd.get(), oldSize) != 0)
        restoreError = errno;
    if (restoreError == 0 && ::fsync(fd.get()) != 0)
        restoreError = errno;
    if (restoreError == 0) {
        backup.close();
        ::unlink(backupPath.c_str());
        return failure(err);
    }
    return failure(std::string(std::strerror(err)) +
                   "; the file may be damaged, its old contents are kept in " + backupPath);
}

// Writes to a FIFO or a device where it is: replacing it would cut off
// whoever reads it. `path` is opened as given, since a link such as
// /proc/<pid>/fd/N of another process leads to a pipe no name can reach.
FileResult writeToDevice(const std::string& path, const struct stat& st, std::string_view bytes) {
    // Without O_NONBLOCK, opening a FIFO nobody reads would wait for a reader
    // for ever.
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENXIO && S_ISFIFO(st.st_mode))
            return failure("no program is reading from this pipe");
        return failure(errno);
    }
    struct stat now {};
    if (::fstat(fd.get(), &now) != 0)
        return failure(errno);
    if (!S_ISFIFO(now.st_mode) && !S_ISCHR(now.st_mode) && !S_ISBLK(now.st_mode))
        return failure("the file changed while it was being saved");
    // A reader is there now; let a full pipe wait for it rather than fail.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failure(errno);
    if (const int err = writeAll(fd.get(), bytes))
        return failure(err);
    if (S_ISBLK(now.st_mode) && ::fsync(fd.get()) != 0)
        return failure(errno);
    if (const int err = fd.close())
        return failure(err);
    return success();
}

// Follows the chain of links from `path` as resolveLinkChain does, and
// stops early at the first name `stopAt` (when given) says yes to.
bool followLinks(const std::string& path, std::string& resolved, std::string& error,
                 const std::function<bool(const std::string&)>& stopAt) {
    std::string current = path;
    for (int hops = 0;; ++hops) {
        if (stopAt && stopAt(current)) {
            resolved = current;
            return true;
        }
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                error = std::strerror(errno);
                return false;
            }
            resolved = current;  // the chain ends in a name still to be made
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            resolved = current;
            return true;
        }
        if (hops == kMaxLinkHops) {
            error = std::strerror(ELOOP);
            return false;
        }
        // Magic links report no useful size; grow until the text fits.
        std::string target(256, '\0');
        for (;;) {
            const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
            if (n < 0) {
                error = std::strerror(errno);
                return false;
            }
            if (static_cast<std::size_t>(n) < target.size()) {
                target.resize(static_cast<std::size_t>(n));
                break;
            }
            target.resize(target.size() * 2);
        }
        current =
            !target.empty() && target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
}

// The descriptor of this process that `path` reaches, directly or through
// links, or -1. A descriptor is known by its folder, whatever name reaches
// that (/proc/self/fd, /proc/<pid>/fd, /dev/fd, /proc/thread-self/fd), so
// /dev/stdout is descriptor 1 too; a number that is not open is still a
// descriptor, one the write then finds closed.
int descriptorReached(const std::string& path) {
    std::vector<struct stat> folders;
    bool looked = false;
    int fd = -1;
    const auto isDescriptor = [&](const std::string& name) {
        const std::string number = nameOf(name);
        if (number.empty() || number.size() > 9 ||
            !std::all_of(number.begin(), number.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            return false;
        }
        if (!looked) {
            looked = true;
            for (const char* own : {"/proc/self/fd", "/proc/thread-self/fd"}) {
                struct stat st {};
                if (::stat(own, &st) == 0)
                    folders.push_back(st);
            }
        }
        struct stat folder {};
        if (::stat(folderOf(name).c_str(), &folder) != 0)
            return false;
        const bool own = std::any_of(folders.begin(), folders.end(), [&](const struct stat& st) {
            return st.st_dev == folder.st_dev && st.st_ino == folder.st_ino;
        });
        if (own)
            fd = static_cast<int>(std::strtol(number.c_str(), nullptr, 10));
        return own;
    };
    std::string end;
    std::string error;
    followLinks(path, end, error, isDescriptor);
    return fd;
}

// Writes to a descriptor this process was given, a shell's redirection most
// often: at its offset and in its mode (appending when it was opened so), as
// any program writes to its standard output. It is not ours: never
// truncated, replaced or closed.
FileResult writeToDescriptor(int fd, std::string_view bytes) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return failure(errno);
    if ((flags & O_ACCMODE) == O_RDONLY)
        return failure(EBADF);  // what write() would say, before anything is written
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                // A descriptor set not to wait (a pipe shared with a program
                // that wants it so): wait for room here, leaving its mode.
                pollfd room{fd, POLLOUT, 0};
                if (::poll(&room, 1, -1) < 0 && errno != EINTR)
                    return failure(errno);
                continue;
            }
            return failure(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return success();
}

// Writes `bytes` to a new file in the folder of `target` and renames it over
// `target`. `old` is the regular file there now, or null when there is none.
FileResult replaceByRename(const std::string& target, const struct stat* old,
                           std::string_view bytes) {
    const std::string folder = folderOf(target);
    std::string temp = folder + "/" + temporaryFilePrefix(::getpid()) + "XXXXXX";
    Descriptor fd(createUnique(temp));
    if (!fd.valid()) {
        const int err = errno;
        // A folder that is not ours, holding a file that we may write (a web
        // root of another user): the file itself can still be saved.
        if (old != nullptr && (err == EACCES || err == EPERM))
            return writeInPlace(target, bytes);
        return failure(err);
    }
    auto abandon = [&](int err) {
        fd.close();
        ::unlink(temp.c_str());
        return failure(err);
    };
    if (const int err = writeAll(fd.get(), bytes))
        return abandon(err);
    // After the contents: writing clears setuid and setgid again.
    if (old != nullptr) {
        if (!takeOverAttributes(fd.get(), target, *old)) {
            fd.close();
            ::unlink(temp.c_str());
            return writeInPlace(target, bytes);
        }
    } else if (::fchmod(fd.get(), newFileMode()) != 0) {
        return abandon(errno);
    }
    if (::fsync(fd.get()) != 0)
        return abandon(errno);
    if (const int err = fd.close()) {
        ::unlink(temp.c_str());
        return failure(err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failure(err);
    }
    return success();
}

// Reads `fd` to its end into `bytes` (`expected` bytes reserved first):
// running out of memory is a failure, never the end of the program.
FileResult readToEnd(int fd, std::size_t expected, std::string& bytes) {
    try {
        if (expected > 0)
            bytes.reserve(expected);
        char block[kCopyBlock];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                const int err = errno;
                bytes.clear();
                return failure(err);
            }
            if (n == 0)
                break;
            bytes.append(block, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        std::string().swap(bytes);
        return failure(kNotEnoughMemory);
    } catch (const std::length_error&) {
        std::string().swap(bytes);
        return failure(kNotEnoughMemory);
    }
    return success();
}

FileResult writeFile(const std::string& path, std::string_view bytes) {
    // /dev/stdout stands for the descriptor, not for the file it happens to
    // be open on: replacing that file would lose what the shell appended to
    // it or writes around this program.
    if (const int fd = descriptorReached(path); fd >= 0)
        return writeToDescriptor(fd, bytes);
    // stat() follows every link, the kernel's magic ones too, so it tells
    // what the write would reach.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return failure(errno);  // a link loop among others
        // No file yet, perhaps at the end of a dangling link: create the
        // name the chain ends in, and leave the links as they are.
        std::string target;
        std::string error;
        if (!resolveLinkChain(path, target, error))
            return failure(error);
        removeStaleTemporaryFiles(folderOf(target));
        return replaceByRename(target, nullptr, bytes);
    }
    if (S_ISDIR(st.st_mode))
        return failure(EISDIR);
    // A file without any write bit is protected even from root, as a
    // read-only file is on Windows; access() alone would let root through.
    if ((st.st_mode & 0222) == 0)
        return failure(EACCES);
    if (S_ISSOCK(st.st_mode))
        return failure("cannot write to a socket");
    if (!S_ISREG(st.st_mode))
        return writeToDevice(path, st, bytes);

    std::string target;
    std::string error;
    if (!resolveLinkChain(path, target, error))
        return failure(error);
    struct stat there {};
    if (::lstat(target.c_str(), &there) != 0 || there.st_dev != st.st_dev ||
        there.st_ino != st.st_ino) {
        // A link that names no path (another process's descriptor of a
        // removed file): the file is only reachable through the link, so
        // write it there.
        return writeInPlace(path, bytes);
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return failure(errno);
    // Every save clears what writers that died left in its folder, however
    // it writes.
    removeStaleTemporaryFiles(folderOf(target));
    // A rename would leave the other names with the old contents.
    if (st.st_nlink > 1)
        return writeInPlace(target, bytes);
    return replaceByRename(target, &st, bytes);
}

// Whether the writer of a backup last written at `written` has gone: no
// process has its id, or the one that has it started after that write and
// so only got the id after the writer died. A process whose start cannot be
// read counts as the writer: its copy may still be needed by it.
bool writerIsGone(long pid, const struct timespec& written) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    const std::optional<double> started = processStartedAt(pid);
    if (!started)
        return false;
    const double writtenAt =
        static_cast<double>(written.tv_sec) + static_cast<double>(written.tv_nsec) / 1e9;
    return *started > writtenAt + kClockSlack;
}

struct FoundBackup {
    std::string path;
    struct timespec written;
};

// The backups in `folder` whose names begin with `start` and whose writer,
// on this machine, has gone. Only regular files of this user count: in a
// folder others may write, a file of that name planted by someone else is
// not a copy of the user's contents.
void collectInterruptedBackups(const std::string& folder, const std::string& start,
                               std::vector<FoundBackup>& found) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folderStream(::opendir(folder.c_str()), ::closedir);
    DIR* dir = folderStream.get();
    if (dir == nullptr)
        return;
    const std::string host = hostToken();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        std::string_view writerHost;
        long pid = 0;
        if (name.substr(0, start.size()) != start ||
            !parseWriter(name.substr(start.size()), writerHost, pid) || writerHost != host) {
            continue;
        }
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || !writerIsGone(pid, st.st_mtim)) {
            continue;
        }
        found.push_back({inFolder(folder, std::string(name)), st.st_mtim});
    }
}

}  // namespace

BlocksRead readFileInBlocks(
    const std::string& path,
    const std::function<bool(std::string_view block, std::size_t size)>& block) {
    BlocksRead result;
    const auto fail = [&result](auto reason) {
        static_cast<FileResult&>(result) = failure(reason);
        return result;
    };
    // As readWholeFile: never wait for a FIFO's writer, read regular files only.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return fail(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(errno);
    if (S_ISDIR(st.st_mode))
        return fail(EISDIR);
    if (!S_ISREG(st.st_mode))
        return fail(kNotRegularFile);
    // Big enough that the system calls cost nothing beside the work on each
    // block, small enough to be nothing beside the text.
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::string buffer(kBlock, '\0');
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            break;
        if (!block(std::string_view(buffer.data(), static_cast<std::size_t>(n)),
                   static_cast<std::size_t>(st.st_size))) {
            result.stopped = true;
            break;
        }
    }
    static_cast<FileResult&>(result) = success();
    return result;
}

FileResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
    // below anyway.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return failure(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return failure(errno);
    if (S_ISDIR(st.st_mode))
        return failure(EISDIR);
    // A FIFO may never end and /dev/zero never does.
    if (!S_ISREG(st.st_mode))
        return failure(kNotRegularFile);
    return readToEnd(fd.get(), st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0, bytes);
}

FileResult readStandardInput(std::string& bytes) {
    bytes.clear();
    return readToEnd(STDIN_FILENO, 0, bytes);
}

FileResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    // Names, attribute values and messages are allocated on the way; the
    // contents are never copied.
    try {
        return writeFile(path, bytes);
    } catch (const std::bad_alloc&) {
        return failure(kNotEnoughMemory);
    }
}

int removeStaleTemporaryFiles(const std::string& folder) {
    try {
        const std::unique_ptr<DIR, int (*)(DIR*)> folderStream(::opendir(folder.c_str()),
                                                               ::closedir);
        DIR* dir = folderStream.get();
        if (dir == nullptr)
            return 0;
        const std::string host = hostToken();
        const pid_t self = ::getpid();
        int removed = 0;
        while (const dirent* entry = ::readdir(dir)) {
            std::string_view writerHost;
            long pid = 0;
            if (!parseTemporaryName(entry->d_name, writerHost, pid) || writerHost != host ||
                pid == self) {
                continue;
            }
            // Another machine's pid says nothing here; only ESRCH says the
            // writer is gone (EPERM: alive, of another user).
            if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
                continue;
            struct stat st {};
            if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) {
                ++removed;
            }
        }
        return removed;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::vector<std::string> findInterruptedBackups(const std::string& path) {
    try {
        // The write went to the end of the links: its backup is named after
        // that file and stands in that file's folder.
        std::string target;
        std::string error;
        if (!resolveLinkChain(path, target, error))
            target = path;
        std::vector<FoundBackup> found;
        collectInterruptedBackups(folderOf(target), besideBackupStart(target), found);
        collectInterruptedBackups(cacheBackupFolder(), cacheBackupStart(target), found);
        std::sort(found.begin(), found.end(), [](const FoundBackup& a, const FoundBackup& b) {
            return a.written.tv_sec != b.written.tv_sec ? a.written.tv_sec > b.written.tv_sec
                                                        : a.written.tv_nsec > b.written.tv_nsec;
        });
        std::vector<std::string> paths;
        for (FoundBackup& backup : found)
            paths.push_back(std::move(backup.path));
        return paths;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<std::string> removeInterruptedBackups(const std::string& path,
                                                  const std::vector<std::string>& backups) {
    std::vector<std::string> removed;
    for (const std::string& backup : findInterruptedBackups(path)) {
        if (std::find(backups.begin(), backups.end(), backup) != backups.end() &&
            ::unlink(backup.c_str()) == 0) {
            removed.push_back(backup);
        }
    }
    return removed;
}

std::string temporaryFilePrefix(long pid) {
    return std::string(kTemporaryStart) + hostToken() + "-" + std::to_string(pid) + "-";
}

bool resolveLinkChain(const std::string& path, std::string& resolved, std::string& error) {
    return followLinks(path, resolved, error, nullptr);
}

}  // namespace korvane
