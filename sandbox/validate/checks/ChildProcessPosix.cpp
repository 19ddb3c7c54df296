// The POSIX side of a check's child: fork, a pipe for the verdict, the
// child's signal named when it crashes, SIGKILL when it overstays.

#include "validate/checks/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "validate/checks/ChildRunner.h"
#include "validate/checks/Sanitizer.h"

namespace validate {

namespace {

using Clock = std::chrono::steady_clock;

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += std::size_t(n);
    }
    return true;
}

// In the child: run the check, hand its text to the parent through `fd`, and
// leave with exit() rather than _exit(), so LeakSanitizer looks at what the
// check left behind.
[[noreturn]] void RunChild(const Check& check, const CheckContext& context, int fd) {
    PrepareChild();
    const ChildReport report = RunHere(check, context);
    WriteAll(fd, report.text);
    close(fd);
    std::fflush(nullptr);
    std::exit(report.status);
}

std::string SignalText(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    const char* description = strsignal(signal);
    return std::string("signal ") +
           (abbreviation ? "SIG" + std::string(abbreviation) : std::to_string(signal)) + " (" +
           (description ? description : "unknown") + ")";
}

// Reads what the child writes until it closes its end, the deadline passes
// or the run is asked to stop; false if it did not close its end.
bool ReadReport(int fd, Clock::time_point deadline, const CheckContext& context,
                std::string& report) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || (context.stopping && context.stopping())) {
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, int(std::min<long long>(left.count(), 100)));
        if (ready < 0 && errno != EINTR) {
            return true;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return true; // the child closed its end: it is finishing
        }
        report.append(buffer, std::size_t(n));
    }
}

// Waits for the child until the deadline; false if it is still running then.
bool Reap(pid_t pid, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return true;
        }
        if (done < 0 && errno != EINTR) {
            status = 0;
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

ChildEnd RunInChildProcess(const Check& check, const CheckContext& context,
                           std::chrono::seconds limit) {
    ChildEnd end;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        end.cause = std::string("cannot make a pipe: ") + std::strerror(errno);
        return end;
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        end.cause = std::string("cannot fork: ") + std::strerror(errno);
        return end;
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(check, context, fds[1]);
    }
    close(fds[1]);

    const auto deadline = Clock::now() + limit;
    const bool finished = ReadReport(fds[0], deadline, context, end.report);
    close(fds[0]);
    int status = 0;
    if (!finished || !Reap(pid, deadline, status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        const bool stopped = context.stopping && context.stopping();
        end.how = stopped ? ChildEnd::How::Stopped : ChildEnd::How::TimedOut;
        return end;
    }
    if (WIFSIGNALED(status)) {
        end.how = ChildEnd::How::Crashed;
        end.cause = SignalText(WTERMSIG(status));
        return end;
    }
    end.how = ChildEnd::How::Exited;
    end.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

void PrepareChild() {
    // A crashing check is reported by its signal; a core file would only cost time.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // AddressSanitizer reserves terabytes of address space for its shadow.
    if (!kUnderAddressSanitizer) {
        const rlimit memory{kChildMemoryLimit, kChildMemoryLimit};
        setrlimit(RLIMIT_AS, &memory);
    }
}

bool WriteReport(const std::string& channel, const std::string& text) {
    char* end = nullptr;
    const long fd = std::strtol(channel.c_str(), &end, 10);
    if (end == channel.c_str() || *end != '\0' || fd < 0) {
        return false;
    }
    return WriteAll(int(fd), text);
}

std::string OwnMemoryLimit() {
    rlimit memory{};
    if (getrlimit(RLIMIT_AS, &memory) != 0 || memory.rlim_cur == RLIM_INFINITY) {
        return "no memory limit";
    }
    return "a memory limit of " + std::to_string(memory.rlim_cur >> 20) + " MiB";
}

} // namespace validate
