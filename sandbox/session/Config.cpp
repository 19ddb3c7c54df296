#include "session/Config.h"

#include <cctype>

#include "files/FileError.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "files/QuotedText.h"

namespace sandbox {

namespace {

std::string_view TrimmedLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return text.substr(i);
}

// A name as messages quote it: a line can be as long as the file.
std::string Shown(std::string_view name) {
    return name.size() > 40 ? std::string(name.substr(0, 37)) + "..." : std::string(name);
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
        what = "expected a quoted value after \"" + Shown(name) + "\"";
        return false;
    }
    if (rest.front() != '"') {
        what = "expected a quoted value after \"" + Shown(name) + "\", found '" +
               std::string(rest.substr(0, 20)) + "'";
        return false;
    }
    std::string problem;
    const auto quoted = files::ReadQuoted(rest, problem);
    if (!quoted) {
        what = problem + " for \"" + Shown(name) + "\"";
        return false;
    }
    value = quoted->value;
    rest = TrimmedLeft(rest.substr(quoted->length));
    if (!IsCommentOrBlank(rest)) {
        what = "unexpected text after the value of \"" + Shown(name) + "\"";
        return false;
    }
    return true;
}

} // namespace

std::string FormatConfig(const Settings& settings) {
    std::string text = "# Quellmark sandbox: saved console variables (name \"value\")\n";
    for (const auto& [name, value] : settings) {
        text += name;
        text += ' ';
        files::AppendQuoted(text, value);
        text += '\n';
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

const Settings& ConfigStore::Load(std::string& warning) {
    loaded_.clear();
    existed_ = false;
    damaged_ = false;
    if (path_.empty()) {
        return loaded_;
    }
    // Missing (or a link to nothing): no config yet, and the first save makes it.
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error) {
        return loaded_;
    }
    existed_ = true;
    std::string text;
    try {
        text = files::ReadFile(path_, {"config", kMaxConfigBytes, false});
    } catch (const files::Error& failure) {
        damaged_ = true;
        warning = std::string(failure.what()) + "; variables keep their defaults";
        return loaded_;
    }
    std::string problem;
    if (auto settings = ParseConfig(text, path_.string(), problem)) {
        loaded_ = std::move(*settings);
    } else {
        damaged_ = true;
        warning = problem + "; config ignored, variables keep their defaults";
    }
    return loaded_;
}

bool ConfigStore::Save(const sim::Console& console, std::string& error) {
    if (path_.empty()) {
        // The run's first note said why there is none (ConfigNote).
        error = "no config file to save to; give --config";
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
        files::WriteFile(path_, FormatConfig(settings), {"config", false});
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    loaded_ = std::move(settings);
    return true;
}

} // namespace sandbox
