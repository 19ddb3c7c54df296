#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "files/PrivateFolder.h"
#include "sim/Host.h"
#include "sim/HostedPlugin.h"

namespace sandbox {

// The plugin module a session runs, and its replacement while it runs (the
// host's `plugin` console commands, the window's reload after a rebuild).
//
// Every module is loaded from a private copy, made only after the file passed
// the loader's checks: the build may write the file again while its module
// runs, and the old and new modules are two files while both are open (the
// loader would hand back the old module for a path it already has open). The
// copies live in a folder of the run's own (files::PrivateFolder), removed
// with this; one a killed run left is removed by the next.
//
// A replacement is opened and checked before the running module is touched,
// so a refused file leaves the running one as it was. Only then does the old
// module go, in the host's unload order, and the new one get created and
// started. The host's variables stay registered across a replacement, so a
// variable the new module registers again keeps the console's current value.
class ReloadablePlugin {
public:
    // What became of a load or replacement.
    struct Outcome {
        bool loaded = false;
        // For the console and the status line: the loaded module's
        // description, or why none was loaded and what runs instead.
        std::string said;
    };

    // `host` and the UI context must outlive this.
    ReloadablePlugin(sim::Host& host, std::uintptr_t uiContext);
    // Unloads the module and removes the copies.
    ~ReloadablePlugin();
    ReloadablePlugin(const ReloadablePlugin&) = delete;
    ReloadablePlugin& operator=(const ReloadablePlugin&) = delete;

    // Loads the module at `path` in place of the running one, if any.
    Outcome Load(const std::string& path);
    // The host's unload order; the variables stay. False when none is loaded.
    bool Unload();

    // The running module, or null.
    sim::HostedPlugin* Running() const { return running_.get(); }
    // Where the running module, or the last one, was loaded from, as given.
    const std::string& Path() const { return path_; }
    // "CLASS "TITLE" version V from PATH".
    std::string Description() const;
    // The settings page's title, asked once at load; empty without a page.
    const std::string& PanelName() const { return panelName_; }

private:
    // A fresh private copy of `path`; empty with `error` when it is refused
    // or cannot be made.
    std::filesystem::path CopyOf(const std::string& path, std::string& error);
    void RemoveCopy();

    sim::Host& host_;
    std::uintptr_t uiContext_;
    std::unique_ptr<files::PrivateFolder> copies_;
    std::unique_ptr<sim::HostedPlugin> running_;
    std::string path_;
    std::string panelName_;
    // The copy the running module was loaded from; under copies_.
    std::filesystem::path copy_;
    int copiesMade_ = 0;
};

} // namespace sandbox
