// The editor program's own command-line conventions, run as a program:
// what it prints and how it ends, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/environment.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

const std::string kProgram = KORVANE_PROGRAM_PATH;

struct SwitchRow {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> out;  // each in standard output
    std::vector<std::string> err;  // each in standard error
};

// Catches --help or --version opening an editor for a file of that name (or
// needing a display: the runs without one end at once with Qt's error
// instead), a usage that leaves out the switches, the files or the exit
// status, output on the wrong stream, a mistyped switch taken for a file,
// and a wrong exit status.
TEST(KorvaneProgram, HelpVersionAndMistypedSwitches) {
    const SwitchRow rows[] = {
        {"help",
         {"--help"},
         0,
         {"/h FILE", "/t FILE", "--version", "--recover JOURNAL", "KORVANE_HOME", "krv13.ini",
          "journal", "Exit status", "./--name"},
         {}},
        {"help after a file", {"page.htm", "--help"}, 0, {"Usage:"}, {}},
        {"version", {"--version"}, 0, {std::string(KORVANE_VERSION_TEXT) + "\n"}, {}},
        {"unknown switch", {"--bogus"}, 2, {}, {"--bogus", "korvane --help"}},
        {"unknown switch after a file", {"a.txt", "--helpp"}, 2, {}, {"--helpp"}},
        {"recover without its journal", {"--recover"}, 2, {}, {"--recover"}},
    };
    const test::TempDir home;
    for (const bool display : {true, false}) {
        test::Environment env;
        // Should the program ever start its window, it is offscreen and its
        // settings are not the user's.
        env.set("KORVANE_HOME", home.path().c_str());
        env.set("QT_QPA_PLATFORM", display ? "offscreen" : "xcb");
        env.set("DISPLAY", display ? std::getenv("DISPLAY") : nullptr);
        env.set("WAYLAND_DISPLAY", nullptr);
        for (const SwitchRow& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (display ? "" : ", no display"));
            const test::ProgramResult r = test::runProgram(kProgram, row.args);
            EXPECT_EQ(r.exitCode, row.exitCode) << r.err;
            if (row.out.empty()) {
                EXPECT_EQ(r.out, "");
            }
            for (const std::string& part : row.out)
                EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
            if (row.err.empty()) {
                EXPECT_EQ(r.err, "");
            }
            for (const std::string& part : row.err)
                EXPECT_NE(r.err.find(part), std::string::npos) << part << "\n" << r.err;
        }
    }
}

}  // namespace
}  // namespace korvane
