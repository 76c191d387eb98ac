// Runs a piece of a test in a child process without root's rights.
//
// Tests of write failures need a folder the program may not write to; root
// may write everywhere, and CI runs as root. The child drops to the user
// "nobody" when it starts as root, runs `body` and reports its result through
// the exit status.
#pragma once

#include <functional>

namespace korvane::test {

// Returns body's result, or false when the child could not be run.
bool runUnprivileged(const std::function<bool()>& body);

// Makes a path reachable and writable for the unprivileged child (the test's
// temporary folder belongs to root).
void openUpForUnprivileged(const char* path);

}  // namespace korvane::test
