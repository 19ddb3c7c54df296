#pragma once

#include <string>

#include "BenchViews.h"

// The two poses every per-view benchmark runs at.
inline constexpr const BenchView* kViews[] = {&kBallInView, &kBallOutOfView};

// Each benchmark runs this many times; the summary takes the medians. Enough
// that a burst of load from elsewhere on a shared machine, lasting a good part
// of a benchmark's runs, still leaves the median alone.
inline constexpr int kRepetitions = 20;

// Counter holding heap allocations per iteration, on every benchmark.
inline constexpr const char* kAllocationsCounter = "allocs/iter";

void RegisterFrameBenchmarks(const std::string& modulePath);
void RegisterGeometryBenchmarks();
void RegisterClipComparisonBenchmarks();
