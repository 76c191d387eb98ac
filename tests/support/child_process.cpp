#include "tests/support/child_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/atomic_file.h"

namespace korvane::test {

bool runInChild(const std::function<bool()>& body, unsigned timeoutSeconds) {
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // SIGALRM ends the child: a hang becomes a failure, not a stuck run.
        ::alarm(timeoutSeconds);
        // Nothing may leave the child but its exit status: an exception
        // caught by the test framework would run the rest of the tests here.
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
            ok = false;
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool limitAddressSpace(std::uint64_t spare) {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages))
        return false;
    const std::uint64_t used = pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const rlimit limit{used + spare, used + spare};
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

long endedProcessId() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return pid;
}

long interruptSaveInPlace(const std::string& path, std::string_view bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || st.st_size == 0 ||
        bytes.size() <= static_cast<std::size_t>(st.st_size)) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const rlimit size{static_cast<rlim_t>(st.st_size), static_cast<rlim_t>(st.st_size)};
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        ::setrlimit(RLIMIT_FSIZE, &size);
        writeFileAtomically(path, bytes);
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFSIGNALED(status) || WTERMSIG(status) != SIGXFSZ)
        return -1;
    return pid;
}

}  // namespace korvane::test
