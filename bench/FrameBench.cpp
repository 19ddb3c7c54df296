// A whole frame through the stand-in SDK: the host's frame loop calling the
// drawable of the loaded module, which reads the game, builds the frustum and
// draws the eight clipped lines.

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>

#include "BenchRegistry.h"
#include "HostedFrame.h"
#include "measure/AllocationCounter.h"

namespace {

void Frame(benchmark::State& state, const std::string& modulePath, const BenchView& view) {
    std::unique_ptr<HostedFrame> frame;
    try {
        frame = std::make_unique<HostedFrame>(modulePath, view);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    // The pose must still give its mix of lines, and the module must draw
    // exactly the lines that mix predicts, or the figure measures something else.
    if (const std::string drift = CheckViewMix(frame->host, view); !drift.empty()) {
        state.SkipWithError(drift.c_str());
        return;
    }
    frame->Run();
    if (static_cast<int>(frame->host.lines.size()) != view.Expected.Drawn()) {
        state.SkipWithError("the module did not draw the lines the view predicts");
        return;
    }

    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            frame->Run();
        }
        allocations = count.Count();
    }
    state.counters[kAllocationsCounter] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.SetLabel(view.Expected.Text());
}

} // namespace

void RegisterFrameBenchmarks(const std::string& modulePath) {
    for (const BenchView* view : kViews) {
        benchmark::RegisterBenchmark(BenchName("Frame", *view).c_str(), Frame, modulePath, *view)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(kRepetitions)
            ->MinTime(0.1);
    }
}
