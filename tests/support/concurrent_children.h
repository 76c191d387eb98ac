// Runs pieces of a test in child processes that start at the same moment,
// for tests of processes that share a file.
#pragma once

#include <functional>
#include <vector>

namespace korvane::test {

// Forks one child per body, releases them together and waits for all.
// True when every child ran its body to a true result.
bool runConcurrently(const std::vector<std::function<bool()>>& bodies);

}  // namespace korvane::test
