// Runs a piece of a test in a child process of its own, for tests that change
// the limits of their process or that would hang or eat the machine's memory
// if the code under test were wrong.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_TEST_UNDER_ASAN 1
#endif
#endif

namespace korvane::test {

// AddressSanitizer reserves terabytes of address space: a limit on it
// cannot stand for a machine without memory there.
#ifdef KORVANE_TEST_UNDER_ASAN
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

// Limits the address space of this (child) process to what it uses now and
// `spare` bytes more; false when that cannot be done.
bool limitAddressSpace(std::uint64_t spare);

// Returns body's result; false when the child could not be run, ended by a
// signal, or was still running after `timeoutSeconds` (then it is killed).
bool runInChild(const std::function<bool()>& body, unsigned timeoutSeconds = 10);

// The process id of a process that has ended and been reaped, for files
// that stand for a writer that died.
long endedProcessId();

// A save of `bytes` over the file at `path` that is killed midway, as a
// power cut or a kill would stop it: a child writes them with the file size
// limit at the file's present size, so the copy of the old contents goes
// through and the new ones stop there. The caller makes the write go in
// place (a second name, a folder the writer may not write) and gives more
// bytes than the file has. Returns the dead writer's process id, or -1 when
// the child was not stopped so.
long interruptSaveInPlace(const std::string& path, std::string_view bytes);

}  // namespace korvane::test
