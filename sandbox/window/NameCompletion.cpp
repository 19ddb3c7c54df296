#include "window/NameCompletion.h"

#include <algorithm>
#include <cctype>

namespace sandbox {

Completion CompleteName(std::string_view line, const std::vector<std::string>& names) {
    Completion completion{std::string(line), {}};
    std::size_t start = line.rfind(';');
    start = start == std::string_view::npos ? 0 : start + 1;
    while (start < line.size() && std::isspace(static_cast<unsigned char>(line[start]))) {
        ++start;
    }
    const std::string_view typed = line.substr(start);
    if (std::any_of(typed.begin(), typed.end(),
                    [](char c) { return std::isspace(static_cast<unsigned char>(c)); })) {
        return completion;
    }
    for (const std::string& name : names) {
        if (name.starts_with(typed)) {
            completion.candidates.push_back(name);
        }
    }
    if (completion.candidates.empty()) {
        return completion;
    }
    std::sort(completion.candidates.begin(), completion.candidates.end());
    std::string common = completion.candidates.front();
    for (const std::string& candidate : completion.candidates) {
        const auto differ =
            std::mismatch(common.begin(), common.end(), candidate.begin(), candidate.end());
        common.erase(differ.first, common.end());
    }
    completion.line = std::string(line.substr(0, start)) + common;
    if (completion.candidates.size() == 1) {
        completion.line += ' ';
        completion.candidates.clear();
    }
    return completion;
}

} // namespace sandbox
