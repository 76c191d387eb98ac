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

}  // namespace

// Removes the temporary file unless the write got as far as the rename.
class PrivateFileWrite::Temporary {
  public:
    explicit Temporary(std::string pattern) : m_path(std::move(pattern)) {
        std::vector<char> name(m_path.begin(), m_path.end());
        name.push_back('\0');
        // mkostemp makes it 0600 whatever the umask says.
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        m_created = m_fd >= 0;
        m_path.assign(name.data());
    }
    ~Temporary() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlink(m_path.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

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

namespace {

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

FileResult errorResult(int err) {
    return {false, std::strerror(err)};
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

PrivateFileWrite::PrivateFileWrite(std::string target, std::unique_ptr<Temporary> temp)
    : m_target(std::move(target)), m_temp(std::move(temp)) {}

PrivateFileWrite::~PrivateFileWrite() = default;

std::unique_ptr<PrivateFileWrite> PrivateFileWrite::begin(const std::string& path,
                                                          FileResult& failed) {
    try {
        std::string target;
        std::string error;
        if (!ownedFileTarget(path, target, error)) {
            failed = {false, error};
            return nullptr;
        }
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            failed = {false, "not a regular file"};
            return nullptr;
        }
        // A temporary name that the clean-up of writers that died recognises.
        auto temp = std::make_unique<Temporary>(folderOf(target) + "/" +
                                                temporaryFilePrefix(currentProcessId()) + "XXXXXX");
        if (!temp->valid()) {
            failed = errorResult(errno);
            return nullptr;
        }
        return std::unique_ptr<PrivateFileWrite>(
            new PrivateFileWrite(std::move(target), std::move(temp)));
    } catch (const std::bad_alloc&) {
        failed = {false, kNotEnoughMemory};
        return nullptr;
    }
}

bool PrivateFileWrite::put(std::string_view piece) {
    if (m_error == 0 && m_temp->valid())
        m_error = writeAll(m_temp->fd(), piece);
    return m_error == 0;
}

FileResult PrivateFileWrite::failure() const {
    return m_error == 0 ? FileResult{true, {}} : errorResult(m_error);
}

FileResult PrivateFileWrite::finish() {
    if (m_error != 0)
        return failure();
    if (!m_temp->valid())
        return {false, "the file was finished already"};
    if (::fsync(m_temp->fd()) != 0)
        return errorResult(errno);
    if (const int err = m_temp->close())
        return errorResult(err);
    // rename() replaces whatever is at the name, a link planted since the
    // check included, and never writes into it.
    if (::rename(m_temp->path().c_str(), m_target.c_str()) != 0)
        return errorResult(errno);
    m_temp->renamed();
    return {true, {}};
}

FileResult writePrivateFile(const std::string& path, const ByteSource& source) {
    try {
        FileResult failed;
        const std::unique_ptr<PrivateFileWrite> write = PrivateFileWrite::begin(path, failed);
        if (!write)
            return failed;
        const bool complete = source([&](std::string_view piece) { return write->put(piece); });
        if (!write->put({}))
            return write->failure();
        if (!complete)
            return {false, "the contents could not be read"};
        return write->finish();
    } catch (const std::bad_alloc&) {
        return {false, kNotEnoughMemory};
    }
}

FileResult writePrivateFile(const std::string& path, std::string_view bytes) {
    return writePrivateFile(path, [bytes](const ByteSink& put) { return put(bytes); });
}

}  // namespace korvane
