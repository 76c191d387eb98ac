#include "base/command_table.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// Catches a command from a menu or a short-cut that runs in the middle of
// long work (which keeps the window painted, and so takes events), and a
// table that stays held once the work is through.
TEST(CommandTableTest, NothingRunsWhileHeld) {
    CommandTable table;
    int runs = 0;
    table.add("Open1Click", [&runs] { ++runs; });
    bool busy = true;
    table.setHold([&busy] { return busy; });
    EXPECT_FALSE(table.run("Open1Click"));
    EXPECT_EQ(runs, 0);
    busy = false;
    EXPECT_TRUE(table.run("Open1Click"));
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace korvane
