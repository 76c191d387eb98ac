#include "app/window_size.h"

#include <gtest/gtest.h>

#include <climits>

namespace korvane {
namespace {

// Catches a stored size that is used as it stands (a window larger than the
// screen, with its close box out of reach, or one too small to use), an
// overflow at the extremes, a minimum that beats the screen, and a screen
// that is not known taken as a limit of 0.
TEST(FitWindowSize, KeepsTheWindowOnTheScreenAndUsable) {
    const WindowSize screen{1024, 768};
    const struct {
        const char* name;
        WindowSize stored;
        WindowSize available;
        WindowSize fitted;
    } rows[] = {
        {"a size that fits stays", {640, 480}, screen, {640, 480}},
        {"the default stays", kDefaultWindowSize, screen, kDefaultWindowSize},
        {"exactly the free area stays", {1024, 768}, screen, {1024, 768}},
        {"one pixel over", {1025, 769}, screen, {1024, 768}},
        {"5000", {5000, 5000}, screen, {1024, 768}},
        {"100000", {100000, 100000}, screen, {1024, 768}},
        {"largest integer", {INT_MAX, INT_MAX}, screen, {1024, 768}},
        {"zero", {0, 0}, screen, kMinimumWindowSize},
        {"negative", {-600, -440}, screen, kMinimumWindowSize},
        {"smallest integer", {INT_MIN, INT_MIN}, screen, kMinimumWindowSize},
        {"just below the minimum", {199, 149}, screen, {200, 150}},
        {"each side on its own", {5000, 0}, screen, {1024, 150}},
        {"a screen smaller than the minimum wins", {640, 480}, {160, 120}, {160, 120}},
        {"unknown screen bounds by the default", {5000, 300}, {0, -1}, {600, 300}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fitWindowSize(row.stored, row.available), row.fitted) << row.name;
    }
}

}  // namespace
}  // namespace korvane
