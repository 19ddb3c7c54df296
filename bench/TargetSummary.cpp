#include "TargetSummary.h"

#include <algorithm>
#include <cstdio>

#include "BenchRegistry.h"

namespace {

constexpr double kFrameBudgetNanoseconds = 1000.0;
constexpr double kMostTimesTheReference = 2.0;

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    std::vector<Run> shown;
    for (const Run& run : runs) {
        if (run.error_occurred) {
            failures_.push_back(run.benchmark_name() + ": " + run.error_message);
            shown.push_back(run);
            continue;
        }
        if (const auto counter = run.counters.find(kAllocationsCounter);
            counter != run.counters.end() && run.run_type == Run::RT_Iteration) {
            mostAllocations_ = std::max(mostAllocations_, counter->second.value);
            allocationsSeen_ = true;
        }
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
            shown.push_back(run);
        }
    }
    if (!shown.empty()) {
        ConsoleReporter::ReportRuns(shown);
    }
}

double SummaryReporter::MedianNanoseconds(const std::string& name) const {
    const auto found = medians_.find(name);
    return found == medians_.end() ? -1.0 : found->second;
}

int PrintTargetSummary(const SummaryReporter& results, std::ostream& out) {
    bool met = true;
    out << "\nTargets (medians of " << kRepetitions << " repetitions, ratios from this run):\n";
    for (const BenchView* view : kViews) {
        const double frame = results.MedianNanoseconds(BenchName("Frame", *view));
        if (frame >= 0.0) {
            const bool ok = frame <= kFrameBudgetNanoseconds;
            met = met && ok;
            out << "  frame, " << view->Name << ": " << Format("%.0f", frame)
                << " ns per frame (at most " << Format("%.0f", kFrameBudgetNanoseconds) << ") "
                << (ok ? "met" : "MISSED") << "\n";
        }
        const double draws = results.MedianNanoseconds(BenchName("EightClippedDraws", *view));
        const double reference =
            results.MedianNanoseconds(BenchName("ReferenceEightClippedDraws", *view));
        if (draws >= 0.0 && reference > 0.0) {
            const double ratio = draws / reference;
            const bool ok = ratio <= kMostTimesTheReference;
            met = met && ok;
            out << "  eight clipped draws, " << view->Name << ": " << Format("%.0f", draws)
                << " ns, reference clipper's " << Format("%.0f", reference) << " ns, ratio "
                << Format("%.2f", ratio) << " (at most " << Format("%.0f", kMostTimesTheReference)
                << ") " << (ok ? "met" : "MISSED") << "\n";
        }
        const double clips = results.MedianNanoseconds(BenchName("ReferenceEightClips", *view));
        if (draws >= 0.0 && clips > 0.0) {
            out << "    (the reference's clipping arithmetic alone: " << Format("%.0f", clips)
                << " ns; the eight draws are " << Format("%.2f", draws / clips)
                << " times that, canvas calls included)\n";
        }
    }
    if (results.AnyAllocationsCounted()) {
        const bool ok = results.MostAllocations() == 0.0;
        met = met && ok;
        out << "  heap allocations per iteration, most in any benchmark: "
            << Format("%g", results.MostAllocations()) << " (target 0) " << (ok ? "met" : "MISSED")
            << "\n";
    }
    for (const std::string& failure : results.Failures()) {
        out << "  FAILED " << failure << "\n";
    }
    return met && results.Failures().empty() ? 0 : 1;
}
