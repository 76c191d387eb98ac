// Benchmarks here are reported as ratios to a baseline measured in the same
// run, because the machines are noisy: the absolute figures move with the
// load, the ratios much less.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace korvane::bench {

struct RatioRow {
    std::string measured;  // benchmark name
    std::string baseline;  // benchmark name of its baseline
    double target;         // the ratio it must stay under (0: report only)
    // The baseline counts this many times: for a scaling row, how many times
    // the baseline's input the measured one has, so 1.0 means linear.
    double baselineFactor = 1.0;
    // Compares processor time instead of wall time: for work that never
    // waits, where a loaded machine would only add noise to the wall time.
    bool cpuTime = false;
};

// Runs every registered benchmark, then prints the table of ratios.
// A ratio over its target is marked MISSED in the table.
int runWithRatios(int argc, char** argv, const std::vector<RatioRow>& rows);

}  // namespace korvane::bench
