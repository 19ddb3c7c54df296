#include "ProgramRun.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <thread>

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

// Runs the shell command `command`, stdout read through a pipe, stderr through
// a file in `home`.
RunResult Run(std::string command, const TempDir& home) {
    const std::filesystem::path errFile = home / ".stderr";
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

} // namespace

RunResult RunSandbox(const std::vector<std::string>& arguments, const TempDir& home,
                     const std::vector<std::string>& wrapper) {
    std::string command = "env XDG_CONFIG_HOME=" + Quoted((home / "config-home").string());
    for (const std::string& word : wrapper) {
        command += " " + Quoted(word);
    }
    command += " " + Quoted(SANDBOX_PROGRAM);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    return Run(command, home);
}

RunningSandbox::RunningSandbox(const std::vector<std::string>& arguments, const TempDir& home)
    : out_(home / ".running-out"), err_(home / ".running-err") {
    std::filesystem::create_directories(home / "tmp");
    const std::string config = "XDG_CONFIG_HOME=" + (home / "config-home").string();
    const std::string temp = "TMPDIR=" + (home / "tmp").string();
    std::vector<std::string> words = {SANDBOX_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        // A fresh disposition and mask, as a shell gives a foreground command.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            ::signal(signal, SIG_DFL);
        }
        const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::chdir(home.Path().c_str());
        ::putenv(const_cast<char*>(config.c_str()));
        ::putenv(const_cast<char*>(temp.c_str()));
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

RunningSandbox::~RunningSandbox() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool RunningSandbox::WaitForMessage(const std::string& text, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(err_).find(text) != std::string::npos) {
            return true;
        }
        if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
            reaped_ = true;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void RunningSandbox::Signal(int signal) {
    if (!reaped_) {
        ::kill(pid_, signal);
    }
}

RunningSandbox::Ended RunningSandbox::Wait() {
    Ended ended;
    if (!reaped_ && ::waitpid(pid_, &status_, 0) == pid_) {
        reaped_ = true;
    }
    if (reaped_) {
        ended.status = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
        ended.signal = WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
    }
    ended.out = ReadFile(out_);
    ended.err = ReadFile(err_);
    return ended;
}

RunResult RunShell(const std::string& script, const TempDir& home) {
    std::filesystem::create_directories(home / "tmp");
    return Run("cd " + Quoted(home.Path().string()) + " && env S=" + Quoted(SANDBOX_PROGRAM) +
                   " XDG_CONFIG_HOME=" + Quoted((home / "config-home").string()) +
                   " TMPDIR=" + Quoted((home / "tmp").string()) + " sh -c " + Quoted(script),
               home);
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
