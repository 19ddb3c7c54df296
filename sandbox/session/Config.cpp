#include "Config.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "AtomicFile.h"

namespace sandbox {

namespace {

std::string_view TrimmedLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return text.substr(i);
}

bool IsCommentOrBlank(std::string_view rest) {
    return rest.empty() || rest.front() == '#' || rest.rfind("//", 0) == 0;
}

// Reads one `name "value"` line; returns false with `what` set if it cannot.
bool ParseLine(std::string_view line, std::string& name, std::string& value, std::string& what) {
    std::string_view rest = TrimmedLeft(line);
    std::size_t end = 0;
    while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end])) &&
           rest[end] != '"') {
        ++end;
    }
    name = std::string(rest.substr(0, end));
    rest = TrimmedLeft(rest.substr(end));
    if (rest.empty()) {
        what = "expected a quoted value after \"" + name + "\"";
        return false;
    }
    if (rest.front() != '"') {
        what = "expected a quoted value after \"" + name + "\", found '" +
               std::string(rest.substr(0, 20)) + "'";
        return false;
    }
    value.clear();
    std::size_t i = 1;
    for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size()) {
            ++i;
        }
        value += rest[i];
    }
    if (i >= rest.size()) {
        what = "unterminated quoted value for \"" + name + "\"";
        return false;
    }
    rest = TrimmedLeft(rest.substr(i + 1));
    if (!IsCommentOrBlank(rest)) {
        what = "unexpected text after the value of \"" + name + "\"";
        return false;
    }
    return true;
}

} // namespace

std::string FormatConfig(const Settings& settings) {
    std::string text = "# Quellmark sandbox: saved console variables (name \"value\")\n";
    for (const auto& [name, value] : settings) {
        text += name;
        text += " \"";
        for (char c : value) {
            if (c == '"' || c == '\\') {
                text += '\\';
            }
            text += c;
        }
        text += "\"\n";
    }
    return text;
}

std::optional<Settings> ParseConfig(std::string_view text, const std::string& source,
                                    std::string& problem) {
    Settings settings;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (IsCommentOrBlank(TrimmedLeft(line))) {
            continue;
        }
        std::string name;
        std::string value;
        std::string what;
        if (!ParseLine(line, name, value, what)) {
            problem = source + ":" + std::to_string(number) + ": " + what;
            return std::nullopt;
        }
        settings.emplace_back(std::move(name), std::move(value));
    }
    return settings;
}

std::filesystem::path DefaultConfigPath(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0') {
        return std::filesystem::path(xdgConfigHome) / "quellmark" / "config.cfg";
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config" / "quellmark" / "config.cfg";
    }
    return {};
}

const Settings& ConfigStore::Load(std::string& warning) {
    loaded_.clear();
    damaged_ = false;
    if (path_.empty()) {
        return loaded_;
    }
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error) {
        return loaded_;
    }
    std::ifstream file(path_, std::ios::binary);
    std::ostringstream text;
    if (file) {
        text << file.rdbuf();
    }
    if (!file || file.bad() || std::filesystem::is_directory(path_, error)) {
        damaged_ = true;
        warning = "cannot read config '" + path_.string() + "': " +
                  (std::filesystem::is_directory(path_, error) ? "it is a directory"
                                                               : std::strerror(errno)) +
                  "; using defaults";
        return loaded_;
    }
    std::string problem;
    if (auto settings = ParseConfig(text.str(), path_.string(), problem)) {
        loaded_ = std::move(*settings);
    } else {
        damaged_ = true;
        warning = problem + "; config ignored, variables keep their defaults";
    }
    return loaded_;
}

bool ConfigStore::Save(const sim::Console& console, std::string& error) {
    if (path_.empty()) {
        error = "no config file to save to: set HOME or XDG_CONFIG_HOME, or give --config";
        return false;
    }
    if (damaged_) {
        error = "not saving to '" + path_.string() +
                "': it could not be read at start and is left as it was";
        return false;
    }
    Settings settings;
    for (const auto& [name, variable] : console.Variables()) {
        if (variable.saveToConfig) {
            settings.emplace_back(name, variable.value);
        }
    }
    for (const auto& entry : loaded_) {
        bool registered = false;
        for (const auto& [name, value] : settings) {
            registered = registered || name == entry.first;
        }
        if (!registered) {
            settings.push_back(entry);
        }
    }
    try {
        if (path_.has_parent_path()) {
            std::filesystem::create_directories(path_.parent_path());
        }
        WriteFileAtomically(path_, FormatConfig(settings));
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    loaded_ = std::move(settings);
    return true;
}

} // namespace sandbox
