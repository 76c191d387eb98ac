// Starting another program and leaving it to run on its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Starts `program` (a full path) with `args` as they stand — bytes, no
// quoting, no shell — detached from this process: it outlives the window
// and is never waited for. False with the system's reason in `error` when it
// could not be started (not found, not executable).
bool startDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error);

// The program `name` as a full path: itself when it holds a "/", else the
// first executable of that name in the folders of PATH. Empty when there is
// none.
std::string findProgram(const std::string& name);

// Runs `program` (a full path) with `args`, no input, and collects what it
// writes to its standard output, for at most `timeoutMs` milliseconds (a
// program that takes longer is killed). True when it ended with status 0.
bool readProgramOutput(const std::string& program, const std::vector<std::string>& args,
                       std::string& output, int timeoutMs);

// This process's id.
long currentProcessId();
// Whether the process `pid` on this machine has ended (a process of another
// user that is alive counts as alive).
bool processIsGone(long pid);
// A process as this machine's boot knows it: a pid alone names another
// process once the pid is reused, or after a restart.
struct ProcessIdentity {
    std::string bootId;  // the kernel's id of this boot; empty when unknown
    long pid = 0;
    unsigned long long startTime = 0;  // clock ticks after the boot; 0 when unknown

    friend bool operator==(const ProcessIdentity&, const ProcessIdentity&) = default;
};
// This process.
ProcessIdentity currentProcessIdentity();
// When the process `pid` started, in clock ticks after the boot; nothing
// when there is no such process or it cannot be told.
std::optional<unsigned long long> processStartTime(long pid);
// When the process `pid` started, in seconds since the epoch (its start
// after the boot and the boot's time); nothing when either cannot be read.
std::optional<double> processStartedAt(long pid);
// Whether the process `identity` describes has ended: the machine was
// restarted since, no process has its pid, or the one that has it started at
// another time. Without a boot id or a start time the pid alone decides.
bool processIsGone(const ProcessIdentity& identity);

// This machine's name in a form that can stand in a file name and be told
// apart from a number after a "-": letters and digits, anything else "_".
std::string machineToken();

}  // namespace korvane
