// quellmark-bench: the frame and its parts, then a summary of the figures
// against their targets. Takes Google Benchmark's usual options.

#include <benchmark/benchmark.h>

#include <iostream>

#include "BenchRegistry.h"
#include "TargetSummary.h"
#include "sim/Host.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    // Fail fast, before any timing, when a pose no longer gives its mix.
    for (const BenchView* view : kViews) {
        sim::Host host;
        StageView(host, *view);
        if (const std::string drift = CheckViewMix(host, *view); !drift.empty()) {
            std::cerr << "quellmark-bench: " << drift << "\n";
            return 1;
        }
    }
    RegisterFrameBenchmarks(QUELLMARK_MODULE_PATH);
    RegisterClipComparisonBenchmarks();
    RegisterGeometryBenchmarks();

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return PrintTargetSummary(reporter, std::cout);
}
