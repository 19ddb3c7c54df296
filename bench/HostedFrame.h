#pragma once

#include <memory>
#include <string>

#include "BenchViews.h"
#include "sim/Host.h"
#include "sim/HostedPlugin.h"

// The built plugin module, opened at run time and loaded into a simulated host
// the way the real host does it (sim::HostedPlugin), switched on and staged at a
// view. Each Run() is one whole frame: the host's frame loop calling the
// registered drawable. The call log stays off and nothing is rasterised; drawn
// lines are only recorded in host.lines. Unloads in the host's order when it
// goes.
class HostedFrame {
public:
    // Throws std::runtime_error when the module cannot be loaded.
    HostedFrame(const std::string& modulePath, const BenchView& view);
    HostedFrame(const HostedFrame&) = delete;
    HostedFrame& operator=(const HostedFrame&) = delete;

    void Run() { host.RunFrame(); }

    // Declared first so that it outlives everything the module holds of it.
    sim::Host host;

private:
    std::unique_ptr<sim::HostedPlugin> plugin_;
};
