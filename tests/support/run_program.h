// Runs a built program of this project with arguments and standard input,
// and collects what it wrote and how it ended.
#pragma once

#include <string>
#include <vector>

namespace korvane::test {

// A program that writes nothing and does not end for 30 seconds is killed.
struct ProgramResult {
    int exitCode = -1;  // -1: did not exit normally (killed, for one)
    std::string out;
    std::string err;
};

// `addressSpace`, when not 0, limits the program's memory (RLIMIT_AS, bytes),
// for tests of what it does when memory runs out.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {}, const std::string& workingDir = {},
                         std::size_t addressSpace = 0);

// runProgram from inside the empty folder `workingDir`, which is removed
// before the program starts: its working folder is gone, as when the
// folder a shell stands in is deleted.
ProgramResult runProgramInRemovedFolder(const std::string& program,
                                        const std::vector<std::string>& args,
                                        const std::string& input, const std::string& workingDir);

}  // namespace korvane::test
