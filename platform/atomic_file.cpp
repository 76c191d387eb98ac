#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace korvane {

namespace {

FileResult failure(int err) {
    return {false, std::strerror(err)};
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

FileResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return failure(EISDIR);
    }
    if (st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            bytes.clear();
            return failure(err);
        }
        if (n == 0)
            break;
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {true, {}};
}

FileResult writeFileAtomically(const std::string& requested, std::string_view bytes) {
    // Writing through a link must replace the file it points to, not the link.
    std::string path = requested;
    if (char* real = ::realpath(requested.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    mode_t mode = 0666;
    bool existed = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return failure(EISDIR);
        // A file without any write bit is protected even from root, as a
        // read-only file is on Windows; access() alone would let root through.
        if ((st.st_mode & 0222) == 0)
            return failure(EACCES);
        if (::access(path.c_str(), W_OK) != 0)
            return failure(errno);
        mode = st.st_mode & 07777;
        existed = true;
    }

    std::string temp = folderOf(path) + "/.korvane-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return failure(errno);
    temp.assign(name.data());

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return failure(err);
    };
    if (!writeAll(fd, bytes))
        return abandon(errno);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (existed) {
        if (::fchmod(fd, mode) != 0)
            return abandon(errno);
    } else {
        // mkstemp creates 0600; a new file gets what the user's umask allows.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0)
            return abandon(errno);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failure(err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failure(err);
    }
    return {true, {}};
}

}  // namespace korvane
