#include "tests/support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

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

long endedProcessId() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return pid;
}

}  // namespace korvane::test
