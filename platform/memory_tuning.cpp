#include "platform/memory_tuning.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

// __GLIBC__ comes from the C library's own headers: test it only after one
// of them (unistd.h above), or the tuning silently compiles to nothing.
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korvane {

void keepLargeBuffersForReuse() {
#if defined(__GLIBC__)
    // Buffers up to 32 MB (the largest threshold glibc accepts) come from the
    // heap, and up to 256 MB of free heap stay with the process.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

namespace {

// The first number in a small system file, or nothing.
bool readNumber(const char* path, std::uintmax_t& value) {
    std::ifstream in(path);
    return static_cast<bool>(in >> value);
}

}  // namespace

std::size_t memoryHeadroom() {
    std::uintmax_t headroom = SIZE_MAX;
    const auto pageSize = static_cast<std::uintmax_t>(::sysconf(_SC_PAGESIZE));

    rlimit limit{};
    std::uintmax_t pages = 0;
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        readNumber("/proc/self/statm", pages)) {
        const std::uintmax_t used = pages * pageSize;
        headroom =
            std::min<std::uintmax_t>(headroom, limit.rlim_cur > used ? limit.rlim_cur - used : 0);
    }

    std::uintmax_t max = 0;
    std::uintmax_t current = 0;
    if (readNumber("/sys/fs/cgroup/memory.max", max) &&  // "max" reads as no number
        readNumber("/sys/fs/cgroup/memory.current", current)) {
        headroom = std::min<std::uintmax_t>(headroom, max > current ? max - current : 0);
    }

    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uintmax_t kilobytes = 0;
    std::uintmax_t available = 0;
    int found = 0;
    while (found < 2 && meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:" || key == "SwapFree:") {
            available += kilobytes * 1024;
            ++found;
        }
        meminfo.ignore(64, '\n');
    }
    if (found == 2)
        headroom = std::min(headroom, available);
    return static_cast<std::size_t>(std::min<std::uintmax_t>(headroom, SIZE_MAX));
}

}  // namespace korvane
