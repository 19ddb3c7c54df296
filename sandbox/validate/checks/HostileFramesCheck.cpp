// At least 100,000 random frames from the run's seed through the loaded
// plugin, each judged by what the host recorded of it: by the rules every
// plugin keeps (hostile-frames, FrameAuditor) or by what Quellmark's overlay
// must draw (overlay-frames, OverlayAuditor). A frame that breaches is
// written out as a scenario file, with the calls it made beside it, so
// `render --scenario` replays it.

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/OutputFile.h"
#include "files/PathText.h"
#include "scenario/PoseScenario.h"
#include "validate/audit/FrameAudit.h"
#include "validate/audit/HostileFrame.h"
#include "validate/audit/OverlayAudit.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

constexpr long kFrames = 100000;
// Breaches written out in full on stderr; the verdict names the first.
constexpr long kBreachesShown = 10;
// Breaches saved as scenario files: enough to replay any fault, few enough
// that a module breaching in every frame does not fill the disk.
constexpr long kBreachesSaved = 100;

std::string Hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%#llx", static_cast<unsigned long long>(value));
    return buffer;
}

// Writes the frame `host` holds as FOLDER/hostile-frame-INDEX.json, and the
// calls the plugin made in it as .calls beside it (one per line, as render's
// trace prints them). Returns the scenario's path, or why it was not written.
std::string SaveBreach(const std::string& folder, long index, const sim::Host& host) {
    const std::filesystem::path stem =
        files::PathFromText(folder) / ("hostile-frame-" + std::to_string(index));
    try {
        std::string calls;
        for (const std::string& line : host.log.lines) {
            calls += line + "\n";
        }
        const std::string scenario = sandbox::PoseScenarioText(host);
        std::filesystem::create_directories(files::PathFromText(folder));
        files::WriteFile(std::filesystem::path(stem).concat(".calls"), calls,
                         {"frame's calls", false});
        const std::filesystem::path saved = std::filesystem::path(stem).concat(".json");
        files::WriteFile(saved, scenario, {"scenario", false});
        return "saved as " + files::PathText(saved);
    } catch (const std::exception& error) {
        return std::string("not saved: ") + error.what();
    }
}

// The breaches of one run: counted, the first kept for the verdict, the first
// few shown on stderr and saved.
class Breaches {
public:
    Breaches(std::string_view check, const CheckContext& context)
        : check_(check), context_(context) {}

    void Add(long index, const std::string& breach, const HostileFrame& frame,
             const sim::Host& host) {
        std::string text = "frame " + Num(index) + ": " + breach + " [" + frame.Describe() + "]";
        if (count_ < kBreachesSaved) {
            const std::string saved = SaveBreach(context_.failuresDir, index, host);
            text += "; " + saved;
            if (saved.starts_with("not saved") && count_ >= kBreachesShown) {
                std::fprintf(stderr, "%s: frame %ld %s\n", check_.c_str(), index, saved.c_str());
            }
        }
        if (count_++ == 0) {
            first_ = text;
        }
        if (count_ <= kBreachesShown) {
            std::fprintf(stderr, "%s: %s\n", check_.c_str(), text.c_str());
        }
    }

    void FailIfAny() const {
        Require(count_ == 0, Num(count_) + " of " + Num(kFrames) + " frames from seed " +
                                 Hex(context_.seed) + " breached; the first, " + first_);
    }

private:
    std::string check_;
    const CheckContext& context_;
    long count_ = 0;
    std::string first_;
};

void RunFrames(const CheckContext& context, std::string_view check, FrameJudge& judge) {
    sim::Host host;
    auto hosted = LoadSwitchedOn(context.modulePath, host);
    host.recordProjections = true;
    Random random(context.seed);
    Breaches breaches(check, context);
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
            breach = judge.Judge(frame, FrameRecord::Of(host));
        }
        if (breach) {
            breaches.Add(index, *breach, frame, host);
        }
    }
    std::fprintf(stderr, "%.*s: %ld frames from seed %s: %s\n", int(check.size()), check.data(),
                 kFrames, Hex(context.seed).c_str(), judge.Summary().c_str());
    breaches.FailIfAny();
    hosted->Unload();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace

void CheckHostileFrames(const CheckContext& context) {
    FrameAuditor auditor;
    RunFrames(context, "hostile-frames", auditor);
}

void CheckOverlayFrames(const CheckContext& context) {
    OverlayAuditor auditor;
    RunFrames(context, "overlay-frames", auditor);
}

} // namespace validate
