#include "tests/support/concurrent_children.h"

#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {

bool runConcurrently(const std::vector<std::function<bool()>>& bodies) {
    int gate[2];
    if (::pipe(gate) != 0)
        return false;
    std::vector<pid_t> children;
    for (const auto& body : bodies) {
        const pid_t pid = ::fork();
        if (pid < 0)
            break;
        if (pid == 0) {
            // Every child waits until the parent closes the gate: end of file.
            ::close(gate[1]);
            char c;
            while (::read(gate[0], &c, 1) > 0) {
            }
            ::_exit(body() ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    bool ok = children.size() == bodies.size();
    for (const pid_t pid : children) {
        int status = 0;
        ok = ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             ok;
    }
    return ok;
}

}  // namespace korvane::test
