#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvane {

// Two forks, so that the program is nobody's child here and leaves no zombie;
// a pipe closed on exec tells whether the exec itself succeeded. Only
// async-signal-safe calls between fork and exec: the argument vector is
// built before.
bool startDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::strerror(errno);
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                const int err = errno;
                (void)!::write(report[1], &err, sizeof err);
            }
            ::_exit(0);
        }
        ::setsid();
        ::execv(program.c_str(), argv.data());
        const int err = errno;
        (void)!::write(report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n = 0;
    do {
        n = ::read(report[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof err)) {
        error = std::strerror(err);
        return false;
    }
    return true;
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

bool processIsGone(long pid) {
    // Only ESRCH says the process is gone (EPERM: alive, of another user).
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::string machineToken() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "unknown";
    std::string token;
    for (const char* p = name; *p != '\0' && token.size() < 64; ++p) {
        const char c = *p;
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        token += plain ? c : '_';
    }
    return token;
}

}  // namespace korvane
