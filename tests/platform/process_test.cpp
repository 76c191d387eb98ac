// Starting a detached program, as new copies of the editor are started.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// Catches arguments that do not arrive as their bytes (a name that is not
// valid UTF-8, blanks, quotes), and a program that cannot be started
// reported as started.
TEST(StartDetached, ArgumentsArriveAsTheirBytesAndFailuresAreReported) {
    const test::TempDir dir;
    const std::string out = dir.file("args");
    const std::string odd = "/tmp/\xff\xfe \"web\" \x93\xfa.htm";
    std::string error;
    ASSERT_TRUE(
        startDetached("/bin/sh",
                      {"-c", "printf '%s|%s' \"$1\" \"$2\" > \"$3.part\" && mv \"$3.part\" \"$3\"",
                       "sh", "/h", odd, out},
                      error))
        << error;
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test::readFile(out), "/h|" + odd);

    EXPECT_FALSE(startDetached(dir.file("no-such-program"), {}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace korvane
