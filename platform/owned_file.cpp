#include "platform/owned_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace korvane {

namespace {

// The kernel follows at most 40 links in one path.
constexpr int kMaxLinkHops = 40;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool readLink(const std::string& path, std::string& target) {
    target.assign(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            return true;
        }
        target.resize(target.size() * 2);
    }
}

// Removes the temporary file unless the write got as far as the rename.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pattern) : m_path(std::move(pattern)) {
        std::vector<char> name(m_path.begin(), m_path.end());
        name.push_back('\0');
        // mkostemp makes it 0600 whatever the umask says.
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        m_created = m_fd >= 0;
        m_path.assign(name.data());
    }
    ~TemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    // 0 or the error of close(), which may be the first sign that the data
    // did not reach the disk.
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }
    void renamed() { m_renamed = true; }

  private:
    std::string m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_renamed = false;
};

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

FileResult failure(int err) {
    return {false, std::strerror(err)};
}

FileResult writeThroughRename(const std::string& path, const ByteSource& source) {
    std::string target;
    std::string error;
    if (!ownedFileTarget(path, target, error))
        return {false, error};
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return {false, "not a regular file"};
    // A temporary name that the clean-up of writers that died recognises.
    TemporaryFile temp(folderOf(target) + "/" + temporaryFilePrefix(currentProcessId()) + "XXXXXX");
    if (!temp.valid())
        return failure(errno);
    int writeError = 0;
    const bool complete = source([&](std::string_view piece) {
        writeError = writeAll(temp.fd(), piece);
        return writeError == 0;
    });
    if (writeError != 0)
        return failure(writeError);
    if (!complete)
        return {false, "the contents could not be read"};
    if (::fsync(temp.fd()) != 0)
        return failure(errno);
    if (const int err = temp.close())
        return failure(err);
    // rename() replaces whatever is at the name, a link planted since the
    // check included, and never writes into it.
    if (::rename(temp.path().c_str(), target.c_str()) != 0)
        return failure(errno);
    temp.renamed();
    return {true, {}};
}

}  // namespace

bool ownedFileTarget(const std::string& path, std::string& target, std::string& error) {
    const uid_t self = ::geteuid();
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                error = std::strerror(errno);
                return false;
            }
            target = current;  // a name still to be made
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (hops > 0 && st.st_uid != self) {
                error = "the link " + path + " leads to a file of another user";
                return false;
            }
            target = current;
            return true;
        }
        if (st.st_uid != self) {
            error = current + " is a symbolic link of another user";
            return false;
        }
        std::string next;
        if (hops == kMaxLinkHops || !readLink(current, next)) {
            error = std::strerror(hops == kMaxLinkHops ? ELOOP : errno);
            return false;
        }
        current = !next.empty() && next.front() == '/' ? next : folderOf(current) + "/" + next;
    }
}

FileResult writePrivateFile(const std::string& path, const ByteSource& source) {
    try {
        return writeThroughRename(path, source);
    } catch (const std::bad_alloc&) {
        return {false, kNotEnoughMemory};
    }
}

FileResult writePrivateFile(const std::string& path, std::string_view bytes) {
    return writePrivateFile(path, [bytes](const ByteSink& put) { return put(bytes); });
}

}  // namespace korvane
