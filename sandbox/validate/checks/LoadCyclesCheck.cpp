// The whole module loaded and unloaded again and again, as a host does when
// the user reloads a plugin: the module opened, factory, onLoad, frames and
// panel frames, onUnload, release, the callbacks dropped, the module closed.
// Nothing may be left behind: no host handle, no module mapping, no heap.

#include <cstdio>
#include <string>

#include "sim/ModuleLibrary.h"
#include "validate/checks/HeapInUse.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"
#include "validate/panel/PanelDriver.h"

namespace validate {

namespace {

// Cycles run before the heap is first measured: the first loads fill caches of
// the dynamic linker and the C++ runtime that later loads reuse.
constexpr int kWarmUpCycles = 3;
// Heap growth tolerated over all measured cycles, besides what the sanitizer
// runtime adds per load (see HeapGrowthAllowedPerLoad). A fixed amount, not a
// rate: a leak of a single small object per cycle exceeds it after a few
// hundred cycles, one of a kilobyte within a few; LeakSanitizer catches the rest.
constexpr std::size_t kHeapSlack = 16 * 1024;

void Cycle(const CheckContext& context, sim::Host& host, PanelDriver& ui) {
    {
        auto hosted = OpenModule(context.modulePath, host);
        LoadPlugin(*hosted, ui.Handle());
        BakkesMod::Plugin::PluginSettingsWindow* panel = hosted->Panel();
        for (int frame = 0; frame < 3; ++frame) {
            host.RunFrame();
            if (panel != nullptr) {
                ui.Frame(*panel, host);
            }
        }
    }
    Require(host.LiveHandles() == 0,
            Num(host.LiveHandles()) + " host handles outlived an unloaded module");
    Require(!sim::ModuleLibraryIsLoaded(context.modulePath),
            "the module stayed mapped after it was closed");
}

} // namespace

void CheckLoadCycles(const CheckContext& context) {
    PanelDriver ui;
    sim::Host host;
    host.console.Preset("qm_enabled", "1");
    StagePlainFrame(host);

    for (int cycle = 0; cycle < kWarmUpCycles; ++cycle) {
        Cycle(context, host, ui);
    }
    const std::size_t baseline = HeapInUse();
    std::size_t peak = baseline;
    for (int cycle = 0; cycle < context.cycles; ++cycle) {
        try {
            Cycle(context, host, ui);
        } catch (const CheckFailure& failure) {
            Fail("cycle " + Num(cycle + 1) + ": " + failure.what());
        }
        peak = std::max(peak, HeapInUse());
    }
    const std::size_t final = HeapInUse();
    const long growth = long(final) - long(baseline);
    std::fprintf(stderr,
                 "load-cycles: %d cycles after %d warm-up; heap in use %zu bytes before, %zu "
                 "after (peak %zu)\n",
                 context.cycles, kWarmUpCycles, baseline, final, peak);
    const long allowed = long(kHeapSlack + HeapGrowthAllowedPerLoad() * context.cycles);
    Require(growth <= allowed, "the heap grew by " + Num(growth) + " bytes over " +
                                   Num(context.cycles) + " cycles (" +
                                   Num(double(growth) / context.cycles) + " a cycle; " +
                                   Num(allowed) + " tolerated in all)");
}

} // namespace validate
