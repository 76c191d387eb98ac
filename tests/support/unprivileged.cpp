#include "tests/support/unprivileged.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {

bool runUnprivileged(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(3);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void openUpForUnprivileged(const char* path) {
    ::chmod(path, 0777);
}

}  // namespace korvane::test
