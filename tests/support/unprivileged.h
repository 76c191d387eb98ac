// Runs a piece of a test in a child process without root's rights.
//
// Tests of write failures need a folder the program may not write to; root
// may write everywhere, and CI runs as root. The child drops to the user
// "nobody" when it starts as root, runs `body` and reports its result through
// the exit status.
//
// That user reaches only what every user may reach. The repository may be
// cloned where only root can go (root's home, a folder `mktemp -d` made), and
// so the build folder and the programs in it; the child therefore starts in
// "/", its files must lie in a folder opened up for it, and a program it runs
// must be a copy in such a folder (UnprivilegedProgram).
#pragma once

#include <functional>
#include <string>

#include "tests/support/temp_dir.h"

namespace korvane::test {

// Returns body's result, or false when the child could not be run.
bool runUnprivileged(const std::function<bool()>& body);

// Makes a folder reachable and writable for the unprivileged child (the
// test's temporary folder belongs to root). Returns why the child still
// cannot reach it (a folder above it that other users may not enter; the
// test should skip with that reason), or "" when it can.
[[nodiscard]] std::string openUpForUnprivileged(const std::string& path);

// A copy of the program at `program` in a temporary folder of its own that
// every user may enter, for the unprivileged child to run. The project's
// programs link the project's libraries statically and need only the
// system's beside them, so the executable alone is enough.
class UnprivilegedProgram {
  public:
    explicit UnprivilegedProgram(const std::string& program);

    const std::string& path() const { return m_path; }
    // Why the child cannot run the copy ("" when it can): the copy could
    // not be made, or its folder cannot be reached.
    const std::string& problem() const { return m_problem; }

  private:
    TempDir m_dir;
    std::string m_path;
    std::string m_problem;
};

}  // namespace korvane::test
