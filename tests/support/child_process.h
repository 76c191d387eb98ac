// Runs a piece of a test in a child process of its own, for tests that change
// the limits of their process or that would hang or eat the machine's memory
// if the code under test were wrong.
#pragma once

#include <cstdint>
#include <functional>

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

}  // namespace korvane::test
