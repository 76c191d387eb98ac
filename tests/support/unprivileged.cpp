#include "tests/support/unprivileged.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

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
        // The test's working folder is the build folder, which this user
        // may not be able to enter; nothing the body does may depend on it.
        if (::chdir("/") != 0)
            ::_exit(3);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string openUpForUnprivileged(const std::string& path) {
    ::chmod(path.c_str(), 0777);
    // Without root's rights the child is the one who runs the tests, and
    // reaches what they reach.
    if (::geteuid() != 0)
        return {};
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
    for (;;) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0) {
            return "the unprivileged user cannot enter " + folder.string() + " to reach " + path +
                   " (set TMPDIR to a folder every user may enter)";
        }
        if (folder == folder.root_path() || !folder.has_parent_path())
            return {};
        folder = folder.parent_path();
    }
}

UnprivilegedProgram::UnprivilegedProgram(const std::string& program) {
    m_problem = openUpForUnprivileged(m_dir.path());
    ::chmod(m_dir.path().c_str(), 0755);
    if (!m_problem.empty())
        return;
    const std::filesystem::path copy =
        std::filesystem::path(m_dir.path()) / std::filesystem::path(program).filename();
    std::error_code ec;
    std::filesystem::copy_file(program, copy, ec);
    if (ec) {
        m_problem = "cannot copy " + program + " to " + copy.string() + ": " + ec.message();
        return;
    }
    ::chmod(copy.c_str(), 0755);
    m_path = copy.string();
}

}  // namespace korvane::test
