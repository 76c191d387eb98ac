#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/atomic_file.h"

namespace korvane {

namespace {

// execv's argument vector, built before the fork: after it only
// async-signal-safe calls may run.
std::vector<char*> argumentVector(const std::string& program,
                                  const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

// Two forks, so that the program is nobody's child here and leaves no zombie;
// a pipe closed on exec tells whether the exec itself succeeded. Only
// async-signal-safe calls between fork and exec: the argument vector is
// built before.
bool startDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error) {
    std::vector<char*> argv = argumentVector(program, args);

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

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findProgram(const std::string& name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : std::string();
    // What execvp searches when PATH is not set.
    const char* variable = std::getenv("PATH");
    const std::string path = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        // An empty entry means the current folder, as for execvp.
        const std::string folder = end == start ? "." : path.substr(start, end - start);
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

// A tool that hangs (a desktop's settings service that does not answer) must
// not hang the editor: the output is read with a deadline and the tool is
// killed when it passes. Its helpers may keep the pipe open after it ended,
// so the deadline counts for them too.
bool readProgramOutput(const std::string& program, const std::vector<std::string>& args,
                       std::string& output, int timeoutMs) {
    output.clear();
    std::vector<char*> argv = argumentVector(program, args);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return false;
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(out[0]);
        ::close(out[1]);
        if (devNull >= 0)
            ::close(devNull);
        return false;
    }
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        if (devNull >= 0) {
            ::dup2(devNull, STDIN_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (devNull >= 0)
        ::close(devNull);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd fd{out[0], POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        // An answer of a line or two is expected; more is no answer.
        if (output.size() < 65536)
            output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

bool processIsGone(long pid) {
    // Only ESRCH says the process is gone (EPERM: alive, of another user).
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

namespace {

std::string bootId() {
    std::string id;
    if (!readWholeFile("/proc/sys/kernel/random/boot_id", id).ok)
        return {};
    while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
        id.pop_back();
    return id;
}

}  // namespace

std::optional<unsigned long long> processStartTime(long pid) {
    if (pid <= 0)
        return std::nullopt;
    std::string stat;
    if (!readWholeFile("/proc/" + std::to_string(pid) + "/stat", stat).ok)
        return std::nullopt;
    // "pid (name) state ppid ...": the name may hold blanks and parentheses,
    // so the fields are counted from its last ")". The start time is the
    // 22nd field, the 20th after the name.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::size_t at = close + 1;
    for (int field = 0; field < 20; ++field) {
        at = stat.find(' ', at);
        if (at == std::string::npos)
            return std::nullopt;
        ++at;
    }
    unsigned long long ticks = 0;
    const char* end = stat.data() + stat.size();
    const auto [ptr, ec] = std::from_chars(stat.data() + at, end, ticks);
    if (ec != std::errc() || (ptr != end && *ptr != ' ' && *ptr != '\n'))
        return std::nullopt;
    return ticks;
}

std::optional<double> processStartedAt(long pid) {
    const std::optional<unsigned long long> ticks = processStartTime(pid);
    std::string system;
    if (!ticks || !readWholeFile("/proc/stat", system).ok)
        return std::nullopt;
    const std::size_t line = system.find("\nbtime ");
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    if (line == std::string::npos || perSecond <= 0)
        return std::nullopt;
    unsigned long long booted = 0;
    const char* from = system.data() + line + 7;
    const auto [end, ec] = std::from_chars(from, system.data() + system.size(), booted);
    if (ec != std::errc() || end == from)
        return std::nullopt;
    return static_cast<double>(booted) +
           static_cast<double>(*ticks) / static_cast<double>(perSecond);
}

ProcessIdentity currentProcessIdentity() {
    // Read once: neither changes while the process lives.
    static const ProcessIdentity self{bootId(), currentProcessId(),
                                      processStartTime(currentProcessId()).value_or(0)};
    return self;
}

bool processIsGone(const ProcessIdentity& identity) {
    if (!identity.bootId.empty()) {
        const std::string now = currentProcessIdentity().bootId;
        if (!now.empty() && now != identity.bootId)
            return true;  // the machine was restarted: every process of then is gone
    }
    if (processIsGone(identity.pid))
        return true;
    if (identity.startTime == 0)
        return false;
    const std::optional<unsigned long long> started = processStartTime(identity.pid);
    // A live process that cannot be looked at (another user's, a /proc
    // mounted with hidepid) is taken for the one named.
    return started && *started != identity.startTime;
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
