#include "bench/ratio_report.h"

#include <cstdio>
#include <map>

namespace korvane::bench {

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median")
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            const double unit = run.time_unit == benchmark::kMillisecond   ? 1e6
                                : run.time_unit == benchmark::kMicrosecond ? 1e3
                                : run.time_unit == benchmark::kSecond      ? 1e9
                                                                           : 1.0;
            m_seconds[name] = run.GetAdjustedRealTime() / 1e9 * unit;
            m_cpuSeconds[name] = run.GetAdjustedCPUTime() / 1e9 * unit;
            auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end())
                m_mbPerSecond[name] = bytes->second.value / 1e6;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> m_seconds;
    std::map<std::string, double> m_cpuSeconds;
    std::map<std::string, double> m_mbPerSecond;
};

}  // namespace

int runWithRatios(int argc, char** argv, const std::vector<RatioRow>& rows) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    int misses = 0;
    std::printf("\n%-34s %-22s %10s %10s %8s %8s\n", "measured", "baseline", "ms", "MB/s", "ratio",
                "target");
    std::printf("(ms and ratio of processor time where the row ends in \"cpu\")\n");
    for (const RatioRow& row : rows) {
        const auto& seconds = row.cpuTime ? reporter.m_cpuSeconds : reporter.m_seconds;
        auto m = seconds.find(row.measured);
        auto b = seconds.find(row.baseline);
        if (m == seconds.end() || b == seconds.end())
            continue;
        const double ratio = m->second / (b->second * row.baselineFactor);
        const bool miss = row.target > 0 && ratio > row.target;
        misses += miss ? 1 : 0;
        const auto mb = reporter.m_mbPerSecond.find(row.measured);
        std::printf("%-34s %-22s %10.3f %10.1f %8.2f %8s%s%s\n", row.measured.c_str(),
                    row.baseline.c_str(), m->second * 1e3,
                    mb == reporter.m_mbPerSecond.end() ? 0.0 : mb->second, ratio,
                    row.target > 0 ? std::to_string(row.target).substr(0, 4).c_str() : "-",
                    row.cpuTime ? "  cpu" : "", miss ? "  MISSED" : "");
    }
    benchmark::Shutdown();
    // A miss is reported in the table, not as a failure: timings on a shared
    // machine are evidence, not a verdict.
    return 0;
}

}  // namespace korvane::bench
