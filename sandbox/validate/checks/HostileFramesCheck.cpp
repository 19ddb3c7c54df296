// At least 100,000 random frames from the run's seed through the loaded
// plugin, each judged by the SDK calls it made (see FrameAuditor). A frame
// that breaches is written out as a scenario file, with the calls it made
// beside it, so `render --scenario` replays it.

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/OutputFile.h"
#include "scenario/PoseScenario.h"
#include "validate/audit/FrameAudit.h"
#include "validate/audit/HostileFrame.h"
#include "validate/audit/ValueText.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"

namespace validate {

namespace {

constexpr long kFrames = 100000;
// Breaches written out in full on stderr; the verdict names the first.
constexpr long kBreachesShown = 10;
// Breaches saved as scenario files: enough to replay any fault, few enough
// that a module breaching in every frame does not fill the disk.
constexpr long kBreachesSaved = 100;

// Writes the frame `host` holds as FOLDER/hostile-frame-INDEX.json, and the
// calls the plugin made in it as .calls beside it (one per line, as render's
// trace prints them). Returns the scenario's path, or why it was not written.
std::string SaveBreach(const std::string& folder, long index, const sim::Host& host) {
    const std::filesystem::path stem =
        std::filesystem::path(folder) / ("hostile-frame-" + std::to_string(index));
    try {
        std::string calls;
        for (const std::string& line : host.log.lines) {
            calls += line + "\n";
        }
        const std::string scenario = sandbox::PoseScenarioText(host);
        std::filesystem::create_directories(folder);
        files::WriteFile(stem.string() + ".calls", calls, {"frame's calls", false});
        files::WriteFile(stem.string() + ".json", scenario, {"scenario", false});
        return "saved as " + stem.string() + ".json";
    } catch (const std::exception& error) {
        return std::string("not saved: ") + error.what();
    }
}

std::string Hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%#llx", static_cast<unsigned long long>(value));
    return buffer;
}

} // namespace

void CheckHostileFrames(const CheckContext& context) {
    sim::Host host;
    auto hosted = LoadSwitchedOn(context.modulePath, host);

    Random random(context.seed);
    FrameAuditor auditor;
    AuditTotals totals;
    long breaches = 0;
    std::string first;
    for (long index = 0; index < kFrames; ++index) {
        const HostileFrame frame = HostileFrame::Draw(random);
        frame.ApplyTo(host);
        host.log.Clear();
        const long before = host.LiveHandles();
        host.log.calls = true;
        host.RunFrame();
        host.log.calls = false;

        std::optional<std::string> breach;
        if (host.LiveHandles() != before) {
            breach = Num(host.LiveHandles() - before) + " handles made in the frame outlived it";
        } else {
            breach = auditor.Audit(frame, host.log.lines, host.lines, totals);
        }
        if (breach) {
            std::string text =
                "frame " + Num(index) + ": " + *breach + " [" + frame.Describe() + "]";
            if (breaches < kBreachesSaved) {
                const std::string saved = SaveBreach(context.failuresDir, index, host);
                text += "; " + saved;
                if (saved.starts_with("not saved") && breaches >= kBreachesShown) {
                    std::fprintf(stderr, "hostile-frames: frame %ld %s\n", index, saved.c_str());
                }
            }
            if (breaches++ == 0) {
                first = text;
            }
            if (breaches <= kBreachesShown) {
                std::fprintf(stderr, "hostile-frames: %s\n", text.c_str());
            }
        }
    }

    std::fprintf(
        stderr,
        "hostile-frames: %ld frames from seed %s: %ld drew %ld lines through %ld "
        "projected points; %ld images held to the canvas plus the projected margin, the "
        "rest unbounded (%ld host view degenerate or at a pole, %ld extreme rotator, %ld near the "
        "camera's plane, %ld degenerate frustum), in ordinary frames none further than %.1f "
        "pixels beyond the canvas's edge; %ld whole and %ld clipped segments required and drawn\n",
        totals.frames, Hex(context.seed).c_str(), totals.framesDrawing, totals.lines,
        totals.projectedPoints, totals.canvasBounded, totals.unboundedView, totals.unboundedTurn,
        totals.unboundedBehind, totals.unboundedPlanes, totals.worstOrdinaryOvershoot,
        totals.wholeSegmentsRequired, totals.clippedSegmentsRequired);
    if (breaches > 0) {
        Fail(Num(breaches) + " of " + Num(kFrames) + " frames from seed " + Hex(context.seed) +
             " breached; the first, " + first);
    }
    hosted->Unload();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace validate
