// The allocator tuning the editor, the converter and the benches rely on.
#include "platform/memory_tuning.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/child_process.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korvane {
namespace {

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// Whether a fresh 16 MB buffer comes from the heap rather than a mapping of
// its own (which the C library hands back on free, so the next one is faulted
// in page by page again).
void* volatile g_sink;  // keeps the compiler from leaving the allocation out

bool bigBufferFromTheHeap() {
    const std::size_t mappedBefore = mallinfo2().hblks;
    void* p = std::malloc(16u << 20);
    g_sink = p;
    const bool fromHeap = mallinfo2().hblks == mappedBefore;
    std::free(p);
    return fromHeap;
}
#endif

// Catches the tuning compiling to an empty function (a test of __GLIBC__
// before any C library header defines it), which costs ToHtml several
// times its speed when other buffers change size. It runs in a child of its
// own, since the allocator's settings last for the process.
TEST(MemoryTuning, LargeBuffersStayInTheProcess) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "glibc's allocator only (the sanitizers bring their own)";
#else
    EXPECT_TRUE(test::runInChild([] {
        // The library's default, fixed: whatever this process freed before
        // must not have raised the threshold already.
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        if (bigBufferFromTheHeap())
            return false;
        keepLargeBuffersForReuse();
        return bigBufferFromTheHeap();
    }));
#endif
}

}  // namespace
}  // namespace korvane
