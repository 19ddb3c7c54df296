// The geometry on its own: one clipped draw of each kind, building the frustum,
// and converting the camera's rotation.

#include <benchmark/benchmark.h>

#include "BenchRegistry.h"
#include "measure/AllocationCounter.h"
#include "overlay/Quaternion.h"

namespace {

void SetAllocations(benchmark::State& state, long allocations) {
    state.counters[kAllocationsCounter] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// One DrawClipped of the first line of `kind` in the view, on a canvas whose
// drawn lines are emptied after each draw (as the host does every frame).
void DrawClipped(benchmark::State& state, const BenchView& view, SegmentKind kind) {
    sim::Host host;
    StageView(host, view);
    const ViewFrustum frustum = FrustumOf(host);
    const auto segments = OverlaySegments(view.Ball);
    std::string disagreement;
    const auto kinds = ClassifySegments(host, frustum, segments, disagreement);
    if (!disagreement.empty()) {
        state.SkipWithError(disagreement.c_str());
        return;
    }
    const LineSegment* chosen = nullptr;
    for (int i = 0; i < 8 && chosen == nullptr; ++i) {
        if (kinds[i] == kind) {
            chosen = &segments[i];
        }
    }
    if (chosen == nullptr) {
        state.SkipWithError("the view has no line of this kind any more");
        return;
    }

    const CanvasWrapper canvas(&host);
    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            chosen->DrawClipped(canvas, frustum);
            host.lines.clear();
        }
        allocations = count.Count();
    }
    SetAllocations(state, allocations);
}

void BuildFrustum(benchmark::State& state, const BenchView& view) {
    sim::Host host;
    StageView(host, view);
    const CanvasWrapper canvas(&host);
    const Quaternion rotation = RotatorToQuaternion(view.CameraRotation);
    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            ViewFrustum frustum = ViewFrustum::Build(canvas, rotation, view.CameraLocation,
                                                     view.Fov, kNearDistance, kFarDistance);
            benchmark::DoNotOptimize(frustum);
        }
        allocations = count.Count();
    }
    SetAllocations(state, allocations);
}

void ConvertRotation(benchmark::State& state, const BenchView& view) {
    Rotator rotator = view.CameraRotation;
    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            // Hidden from the optimiser, so the conversion is not folded away.
            benchmark::DoNotOptimize(rotator);
            Quaternion rotation = RotatorToQuaternion(rotator);
            benchmark::DoNotOptimize(rotation);
        }
        allocations = count.Count();
    }
    SetAllocations(state, allocations);
}

} // namespace

void RegisterGeometryBenchmarks() {
    struct Case {
        const BenchView* View;
        SegmentKind Kind;
        const char* Name;
    };
    const Case cases[] = {
        {&kBallInView, SegmentKind::Inside, "DrawClipped/Inside"},
        {&kBallInView, SegmentKind::OneEndOut, "DrawClipped/OneEndOut"},
        {&kBallOutOfView, SegmentKind::BothEndsOut, "DrawClipped/BothEndsOut"},
        {&kBallOutOfView, SegmentKind::Off, "DrawClipped/OffTheView"},
    };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark(c.Name, DrawClipped, *c.View, c.Kind)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(kRepetitions)
            ->MinTime(0.05);
    }
    benchmark::RegisterBenchmark("ViewFrustumBuild", BuildFrustum, kBallInView)
        ->Unit(benchmark::kNanosecond)
        ->Repetitions(kRepetitions)
        ->MinTime(0.05);
    benchmark::RegisterBenchmark("RotatorToQuaternion", ConvertRotation, kBallInView)
        ->Unit(benchmark::kNanosecond)
        ->Repetitions(kRepetitions)
        ->MinTime(0.05);
}
