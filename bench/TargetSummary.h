#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

// Prints the usual console table, showing only each benchmark's aggregates
// (mean, median, spread and max over its repetitions), and keeps the figures
// the targets are judged on: medians of real time, the most allocations any
// repetition made, and any benchmark that failed its set-up.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // Median real time in nanoseconds, or a negative number when not measured.
    double MedianNanoseconds(const std::string& name) const;
    // The largest allocations-per-iteration counter of any repetition of any benchmark.
    double MostAllocations() const { return mostAllocations_; }
    bool AnyAllocationsCounted() const { return allocationsSeen_; }
    const std::vector<std::string>& Failures() const { return failures_; }

private:
    std::map<std::string, double> medians_;
    double mostAllocations_ = 0.0;
    bool allocationsSeen_ = false;
    std::vector<std::string> failures_;
};

// Writes the figures against their targets: each frame's median time at most
// 1 microsecond, the eight clipped draws at most twice the reference clipper's
// in the same run, no heap allocation. Returns the process's exit status: 0
// when every measured target is met and no benchmark failed, else 1.
int PrintTargetSummary(const SummaryReporter& results, std::ostream& out);
