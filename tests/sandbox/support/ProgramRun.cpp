#include "ProgramRun.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sandboxtest {

// The Windows side of RunSandbox is in ProgramRunWindows.cpp.
#if !defined(_WIN32)
namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

RunResult RunSandbox(const std::vector<std::string>& arguments, const TempDir& home,
                     const std::vector<std::string>& wrapper) {
    const std::filesystem::path errFile = home / ".stderr";
    std::string command = "env XDG_CONFIG_HOME=" + Quoted((home / "config-home").string());
    for (const std::string& word : wrapper) {
        command += " " + Quoted(word);
    }
    command += " " + Quoted(SANDBOX_PROGRAM);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " 2>" + Quoted(errFile.string());

    RunResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + command);
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadFile(errFile);
    std::filesystem::remove(errFile);
    return result;
}
#endif

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

void ReplaceAsABuildDoes(const std::filesystem::path& target, const std::filesystem::path& source) {
    std::filesystem::path next = target;
    next += ".next";
    std::filesystem::copy_file(source, next, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::rename(next, target);
}

std::vector<std::string> SectionLines(const std::string& log, const std::string& header) {
    std::vector<std::string> lines;
    std::istringstream stream(log);
    std::string line;
    bool inside = false;
    while (std::getline(stream, line)) {
        if (line == "load" || line == "unload" || line.starts_with("frame ")) {
            inside = line == header;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace sandboxtest
