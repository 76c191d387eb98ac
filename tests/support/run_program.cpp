#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvane::test {

namespace {

constexpr int kSilenceMs = 30000;

ProgramResult run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& input, const std::string& workingDir, std::size_t addressSpace,
                  bool removeWorkingDir) {
    ProgramResult result;
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0)
        return result;
    const pid_t pid = ::fork();
    if (pid < 0)
        return result;
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            ::close(fd);
        if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0)
            ::_exit(127);
        if (removeWorkingDir && ::rmdir(workingDir.c_str()) != 0)
            ::_exit(127);
        if (addressSpace != 0) {
            const rlimit limit{addressSpace, addressSpace};
            if (::setrlimit(RLIMIT_AS, &limit) != 0)
                ::_exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ::signal(SIGPIPE, SIG_IGN);

    // Feed standard input and drain both outputs together, so that a large
    // input or output cannot dead-lock the two processes.
    std::size_t written = 0;
    int inFd = in[1];
    if (input.empty()) {
        ::close(inFd);
        inFd = -1;
    } else {
        ::fcntl(inFd, F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    char buffer[65536];
    while (outOpen || errOpen || inFd >= 0) {
        pollfd fds[3];
        int n = 0;
        if (outOpen)
            fds[n++] = {out[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {err[0], POLLIN, 0};
        if (inFd >= 0)
            fds[n++] = {inFd, POLLOUT, 0};
        if (::poll(fds, static_cast<nfds_t>(n), kSilenceMs) <= 0) {
            // Hung (a program that opened a window and waits for a person,
            // for one): ended, so that the test fails instead of waiting.
            ::kill(pid, SIGKILL);
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inFd) {
                const ssize_t w = ::write(inFd, input.data() + written, input.size() - written);
                if (w > 0)
                    written += static_cast<std::size_t>(w);
                if (w < 0 && errno != EAGAIN)
                    written = input.size();
                if (written >= input.size()) {
                    ::close(inFd);
                    inFd = -1;
                }
                continue;
            }
            const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
            if (r <= 0) {
                if (fds[i].fd == out[0])
                    outOpen = false;
                else
                    errOpen = false;
                continue;
            }
            (fds[i].fd == out[0] ? result.out : result.err)
                .append(buffer, static_cast<std::size_t>(r));
        }
    }
    if (inFd >= 0)
        ::close(inFd);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::string& workingDir,
                         std::size_t addressSpace) {
    return run(program, args, input, workingDir, addressSpace, false);
}

ProgramResult runProgramInRemovedFolder(const std::string& program,
                                        const std::vector<std::string>& args,
                                        const std::string& input, const std::string& workingDir) {
    return run(program, args, input, workingDir, 0, true);
}

}  // namespace korvane::test
