#include "session/ReloadablePlugin.h"

#include "base/ProgramPath.h"
#include "files/FileError.h"
#include "sim/ModuleCopy.h"

namespace sandbox {

namespace {

namespace fs = std::filesystem;

// The loader's messages name the file it opened; the user knows the original.
std::string Renamed(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

void RemoveFile(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

} // namespace

ReloadablePlugin::ReloadablePlugin(sim::Host& host, std::uintptr_t uiContext)
    : host_(host), uiContext_(uiContext) {}

ReloadablePlugin::~ReloadablePlugin() {
    // The modules go before the folder their files are in.
    Unload();
}

ReloadablePlugin::Outcome ReloadablePlugin::Load(const std::string& path) {
    const std::string kept = running_ ? "; the running module is kept" : "";
    std::string error;
    const fs::path copy = CopyOf(path, error);
    if (copy.empty()) {
        return {false, error + kept};
    }
    std::unique_ptr<sim::HostedPlugin> module =
        sim::HostedPlugin::Open(PathText(copy), host_, error);
    if (!module) {
        RemoveFile(copy);
        return {false, Renamed(error, PathText(copy), path) + kept};
    }
    Unload();
    if (module->Load(uiContext_, error) == nullptr) {
        module.reset();
        RemoveFile(copy);
        return {false, "'" + path + "': " + error + "; no module is loaded"};
    }
    running_ = std::move(module);
    path_ = path;
    copy_ = copy;
    panelName_ = running_->Panel() != nullptr ? running_->Panel()->GetPanelName() : "";
    return {true, Description()};
}

bool ReloadablePlugin::Unload() {
    if (!running_) {
        return false;
    }
    running_.reset();
    panelName_.clear();
    RemoveCopy();
    return true;
}

std::string ReloadablePlugin::Description() const {
    if (!running_) {
        return "no module loaded";
    }
    const PluginDescriptor& descriptor = running_->Descriptor();
    return std::string(descriptor.className) + " \"" + descriptor.title + "\" version " +
           descriptor.versionText + " from " + path_;
}

fs::path ReloadablePlugin::CopyOf(const std::string& path, std::string& error) {
    if (!copies_) {
        try {
            copies_ = std::make_unique<files::PrivateFolder>("quellmark-modules-");
        } catch (const files::Error& failure) {
            error = "cannot load '" + path + "': " + failure.what();
            return {};
        }
    }
    const fs::path source = PathFromText(path);
    fs::path name = source.stem();
    name += "-" + std::to_string(++copiesMade_);
    name += source.extension();
    const fs::path copy = copies_->Path() / name;
    return sim::CopyModule(path, copy, error) ? copy : fs::path();
}

void ReloadablePlugin::RemoveCopy() {
    if (!copy_.empty()) {
        RemoveFile(copy_);
        copy_.clear();
    }
}

} // namespace sandbox
