// Runs a piece of a test in a child process of its own, for tests that change
// the limits of their process or that would hang or eat the machine's memory
// if the code under test were wrong.
#pragma once

#include <functional>

namespace korvane::test {

// Returns body's result; false when the child could not be run, ended by a
// signal, or was still running after `timeoutSeconds` (then it is killed).
bool runInChild(const std::function<bool()>& body, unsigned timeoutSeconds = 10);

// The process id of a process that has ended and been reaped, for files
// that stand for a writer that died.
long endedProcessId();

}  // namespace korvane::test
