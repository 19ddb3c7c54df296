// The frame's eight clipped draws, side by side with the reference clipper on
// the same eight segments and the same planes. The reference is timed twice:
// put in DrawClipped's place (called the same way, with a canvas handle of its
// own each time, and drawing what it keeps through the same canvas calls), which
// is the like-for-like comparison; and as bare clipping arithmetic.

#include <benchmark/benchmark.h>

#include "BenchRegistry.h"
#include "measure/AllocationCounter.h"
#include "validate/judge/ReferenceClipper.h"

namespace {

struct Staged {
    sim::Host host;
    ViewFrustum frustum;
    std::array<LineSegment, 8> segments;

    explicit Staged(const BenchView& view) {
        StageView(host, view);
        frustum = FrustumOf(host);
        segments = OverlaySegments(view.Ball);
    }
};

Vector ToVector(validate::ExactPoint point) {
    return {static_cast<float>(point.X), static_cast<float>(point.Y), static_cast<float>(point.Z)};
}

// The reference clipper in DrawClipped's place: called as the render pass calls
// DrawClipped, with a canvas handle of its own, and drawing the kept piece with
// the canvas calls the overlay's Draw makes (the end projected first, then the
// start, then one line).
void ReferenceDrawClipped(CanvasWrapper canvas, const LineSegment& segment,
                          const ViewFrustum& frustum) {
    const validate::ClipResult clip =
        validate::ClipSegment(frustum.Planes, segment.Start, segment.End);
    if (!clip.Visible) {
        return;
    }
    const Vector start = ToVector(validate::PointOnSegment(segment.Start, segment.End, clip.Enter));
    const Vector end = ToVector(validate::PointOnSegment(segment.Start, segment.End, clip.Exit));
    const Vector2F projectedEnd = canvas.ProjectF(end);
    const Vector2F projectedStart = canvas.ProjectF(start);
    if (segment.Thickness == 1.0f) {
        canvas.DrawLine(projectedStart, projectedEnd);
    } else {
        canvas.DrawLine(projectedStart, projectedEnd, segment.Thickness);
    }
}

void Finish(benchmark::State& state, long allocations) {
    state.counters[kAllocationsCounter] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// The frame's eight segments drawn through `draw(canvas, segment, frustum)`,
// timed, with the heap allocations made while timing.
template <typename Draw>
void EightDraws(benchmark::State& state, const BenchView& view, Draw draw) {
    Staged staged(view);
    const CanvasWrapper canvas(&staged.host);
    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            for (const LineSegment& segment : staged.segments) {
                draw(canvas, segment, staged.frustum);
            }
            staged.host.lines.clear();
        }
        allocations = count.Count();
    }
    Finish(state, allocations);
}

void EightClippedDraws(benchmark::State& state, const BenchView& view) {
    EightDraws(state, view,
               [](const CanvasWrapper& canvas, const LineSegment& segment,
                  const ViewFrustum& frustum) { segment.DrawClipped(canvas, frustum); });
}

void ReferenceEightClippedDraws(benchmark::State& state, const BenchView& view) {
    EightDraws(state, view, ReferenceDrawClipped);
}

void ReferenceEightClips(benchmark::State& state, const BenchView& view) {
    Staged staged(view);
    long allocations = 0;
    {
        const AllocationCounter count;
        for (auto _ : state) {
            for (const LineSegment& segment : staged.segments) {
                validate::ClipResult clip =
                    validate::ClipSegment(staged.frustum.Planes, segment.Start, segment.End);
                benchmark::DoNotOptimize(clip);
            }
        }
        allocations = count.Count();
    }
    Finish(state, allocations);
}

} // namespace

void RegisterClipComparisonBenchmarks() {
    for (const BenchView* view : kViews) {
        benchmark::RegisterBenchmark(BenchName("EightClippedDraws", *view).c_str(),
                                     EightClippedDraws, *view)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(kRepetitions)
            ->MinTime(0.05);
        benchmark::RegisterBenchmark(BenchName("ReferenceEightClippedDraws", *view).c_str(),
                                     ReferenceEightClippedDraws, *view)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(kRepetitions)
            ->MinTime(0.05);
        benchmark::RegisterBenchmark(BenchName("ReferenceEightClips", *view).c_str(),
                                     ReferenceEightClips, *view)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(kRepetitions)
            ->MinTime(0.05);
    }
}
