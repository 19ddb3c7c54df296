#include "session/ReloadablePlugin.h"

#include <cstdlib>
#include <random>
#include <vector>

#include "base/ProgramPath.h"

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

// A new folder only this process uses, or empty. POSIX makes it mode 0700;
// Windows has no mkdtemp, but its temporary folder is the user's own, and
// create_directory fails rather than take a folder that is already there.
fs::path PrivateFolder() {
    std::error_code failure;
    const fs::path temp = fs::temp_directory_path(failure);
    if (failure) {
        return {};
    }
#ifdef _WIN32
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = temp / ("quellmark-modules-" + std::to_string(random()));
        if (fs::create_directory(folder, failure)) {
            return folder;
        }
    }
    return {};
#else
    std::string pattern = (temp / "quellmark-modules-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        return {};
    }
    return name.data();
#endif
}

} // namespace

ReloadablePlugin::ReloadablePlugin(sim::Host& host, std::uintptr_t uiContext)
    : host_(host), uiContext_(uiContext) {}

ReloadablePlugin::~ReloadablePlugin() {
    Unload();
    if (!copies_.empty()) {
        std::error_code ignored;
        fs::remove_all(copies_, ignored);
    }
}

bool ReloadablePlugin::Load(const std::string& path, std::string& error) {
    fs::path copy;
#ifdef _WIN32
    // Windows keeps a loaded DLL's file locked, so a rebuild could not put a
    // new module in its place: the first load is from a private copy too. A
    // file that is not there goes to the loader, whose message says so.
    std::error_code failure;
    if (fs::is_regular_file(PathFromText(path), failure)) {
        copy = CopyOf(path, error);
        if (copy.empty()) {
            error = "cannot load '" + path + "': " + error;
            return false;
        }
    }
#endif
    const std::string opened = copy.empty() ? path : PathText(copy);
    std::unique_ptr<sim::HostedPlugin> module = sim::HostedPlugin::Open(opened, host_, error);
    if (module && module->Load(uiContext_, error) == nullptr) {
        module.reset();
        error = "'" + path + "': the factory made no plugin";
    }
    if (!module) {
        if (!copy.empty()) {
            std::error_code ignored;
            fs::remove(copy, ignored);
            error = Renamed(error, opened, path);
        }
        return false;
    }
    Adopt(std::move(module), path, std::move(copy));
    return true;
}

std::string ReloadablePlugin::Replace(const std::string& path) {
    const char* const kept = running_ ? "; the running module is kept" : "; no module is loaded";
    std::string error;
    fs::path copy = CopyOf(path, error);
    if (copy.empty()) {
        return "cannot load '" + path + "': " + error + kept;
    }
    std::unique_ptr<sim::HostedPlugin> module =
        sim::HostedPlugin::Open(PathText(copy), host_, error);
    if (!module) {
        std::error_code ignored;
        fs::remove(copy, ignored);
        return "refused: " + Renamed(error, PathText(copy), path) + kept;
    }
    Unload();
    if (module->Load(uiContext_, error) == nullptr) {
        module.reset();
        std::error_code ignored;
        fs::remove(copy, ignored);
        return "'" + path + "': " + error + "; no module is loaded";
    }
    Adopt(std::move(module), path, std::move(copy));
    return "loaded " + Description();
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
    std::error_code failure;
    if (copies_.empty()) {
        copies_ = PrivateFolder();
        if (copies_.empty()) {
            error = "no private folder for a copy of it";
            return {};
        }
    }
    const fs::path source = PathFromText(path);
    fs::path name = source.stem();
    name += "-" + std::to_string(++copiesMade_);
    name += source.extension();
    const fs::path copy = copies_ / name;
    if (!fs::copy_file(source, copy, fs::copy_options::overwrite_existing, failure)) {
        error = failure.message();
        return {};
    }
    return copy;
}

void ReloadablePlugin::RemoveCopy() {
    if (!copy_.empty()) {
        std::error_code ignored;
        fs::remove(copy_, ignored);
        copy_.clear();
    }
}

void ReloadablePlugin::Adopt(std::unique_ptr<sim::HostedPlugin> module, const std::string& path,
                             fs::path copy) {
    running_ = std::move(module);
    path_ = path;
    copy_ = std::move(copy);
    panelName_ = running_->Panel() != nullptr ? running_->Panel()->GetPanelName() : "";
}

} // namespace sandbox
