// quellmark-bench: the frame and its parts, then a summary of the figures
// against their targets. Takes Google Benchmark's usual options.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string_view>

#include "BenchRegistry.h"
#include "TargetSummary.h"
#include "sim/Host.h"

namespace {

// Colour as Google Benchmark's own console output chooses it: on a terminal,
// unless --benchmark_color says otherwise. (A custom reporter is not told.)
benchmark::ConsoleReporter::OutputOptions ConsoleOptions(int argc, char** argv) {
    bool colour = isatty(fileno(stdout)) != 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--benchmark_color=false" || argument == "--benchmark_color=no" ||
            argument == "--benchmark_color=0") {
            colour = false;
        } else if (argument == "--benchmark_color=true" || argument == "--benchmark_color=yes" ||
                   argument == "--benchmark_color=1" || argument == "--benchmark_color=always") {
            colour = true;
        }
    }
    return colour ? benchmark::ConsoleReporter::OO_ColorTabular
                  : benchmark::ConsoleReporter::OO_Tabular;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = ConsoleOptions(argc, argv);
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

    SummaryReporter reporter(options);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return PrintTargetSummary(reporter, std::cout);
}
