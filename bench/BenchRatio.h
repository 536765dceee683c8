// Runs the benchmarks of one program and, after the usual table, prints each
// of our figures divided by its peer's beside the goal, for example
//   ratio SaveRules/10000 / QXmlStreamWriter_Save/10000 = 1.21 (goal <= 1.5)
// The figure of a benchmark is its median real time per iteration when the
// runs are repeated (--benchmark_repetitions), else its one run's time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchratio {

struct Ratio
{
    std::string ours;  // full benchmark names, arguments included
    std::string peer;
    double goal;       // the ratio must not exceed it
    std::string note;  // what the peer is, printed beside the ratio
};

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit RatioReporter(std::vector<Ratio> ratios) : ConsoleReporter(OO_Tabular), ratios_(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            const std::string name = run.run_name.str();
            // A median outranks the single runs it was taken from.
            if (!median && medians_.count(name))
                continue;
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            seconds_[name] = seconds;
            if (median)
                medians_[name] = true;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Ratio& r : ratios_) {
            const auto ours = seconds_.find(r.ours);
            const auto peer = seconds_.find(r.peer);
            if (ours == seconds_.end() || peer == seconds_.end() || peer->second <= 0)
                continue;  // filtered out or failed
            const double ratio = ours->second / peer->second;
            std::printf("ratio %s / %s = %.2f (goal <= %.2f)%s%s%s\n", r.ours.c_str(), r.peer.c_str(), ratio, r.goal,
                        ratio <= r.goal ? "" : " MISSED", r.note.empty() ? "" : "  ", r.note.c_str());
        }
        std::fflush(stdout);
    }

private:
    std::vector<Ratio> ratios_;
    std::map<std::string, double> seconds_;
    std::map<std::string, bool> medians_;
};

// Initialize, run and shut down, printing the ratios at the end; the
// program's main returns this.
inline int RunWithRatios(int& argc, char** argv, std::vector<Ratio> ratios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace benchratio
