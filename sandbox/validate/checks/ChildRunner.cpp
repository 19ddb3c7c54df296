#include "validate/checks/ChildRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

namespace validate {

namespace {

using Clock = std::chrono::steady_clock;

void WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        written += std::size_t(n);
    }
}

// In the child: run the check, hand its reason to the parent through `fd`, and
// leave with exit() rather than _exit(), so LeakSanitizer looks at what the
// check left behind.
[[noreturn]] void RunChild(const Check& check, const CheckContext& context, int fd) {
    // A crashing check is reported by its signal; a core file would only cost time.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::string reason;
    try {
        check.run(context);
    } catch (const CheckFailure& failure) {
        reason = failure.what();
        if (reason.empty()) {
            reason = "failed without a reason";
        }
    } catch (const std::exception& error) {
        reason = std::string("unexpected exception: ") + error.what();
    } catch (...) {
        reason = "unexpected exception of unknown type";
    }
    WriteAll(fd, reason);
    close(fd);
    std::fflush(nullptr);
    std::exit(reason.empty() ? 0 : 1);
}

std::string SignalText(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    const char* description = strsignal(signal);
    return std::string("crashed: signal ") +
           (abbreviation ? "SIG" + std::string(abbreviation) : std::to_string(signal)) + " (" +
           (description ? description : "unknown") + ")";
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

Verdict RunInChild(const Check& check, const CheckContext& context) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return {false, std::string("cannot make a pipe: ") + std::strerror(errno)};
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return {false, std::string("cannot fork: ") + std::strerror(errno)};
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(check, context, fds[1]);
    }
    close(fds[1]);

    const auto deadline = Clock::now() + std::chrono::seconds(check.TimeoutFor(context));
    std::string reason;
    bool timedOut = false;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, int(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // the child closed its end: it is finishing
        }
        reason.append(buffer, std::size_t(n));
    }
    close(fds[0]);

    int status = 0;
    if (timedOut || !Reap(pid, deadline, status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return {false, "timed out after " + std::to_string(check.TimeoutFor(context)) + " s"};
    }
    if (WIFSIGNALED(status)) {
        return {false, SignalText(WTERMSIG(status)) + (reason.empty() ? "" : " after: " + reason)};
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!reason.empty()) {
        return {false, reason};
    }
    if (code != 0) {
        return {false, "exited with status " + std::to_string(code) +
                           " without a verdict of its own: a sanitizer or the runtime stopped "
                           "it (see its report above)"};
    }
    return {true, {}};
}

} // namespace validate
