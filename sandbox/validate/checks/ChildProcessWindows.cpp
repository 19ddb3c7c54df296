// The Windows side of a check's child: this program started again for the one
// check (CreateProcessW), in a job object that holds its memory limit and
// ends it, and anything it started, when it overstays; an inherited pipe for
// the verdict; the exception that ended a crashed child named.

#include "validate/checks/ChildProcess.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "base/ProgramPath.h"
#include "base/WindowsArguments.h"
#include "files/SystemText.h"

namespace validate {

namespace {

using Clock = std::chrono::steady_clock;

// The exit status the job is ended with when the child overstays.
constexpr UINT kTimedOutStatus = 0xDEAD;

struct Handle {
    HANDLE value = nullptr;
    Handle() = default;
    explicit Handle(HANDLE handle) : value(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Close() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) {
            CloseHandle(value);
        }
        value = nullptr;
    }
};

std::wstring Wide(std::string_view text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), size);
    return wide;
}

// This program's command line for running `check` alone as a child that
// reports to `channel`.
std::wstring ChildCommandLine(const Check& check, const CheckContext& context, HANDLE channel) {
    const std::string words[] = {
        "validate",
        "--module",
        context.modulePath,
        "--cycles",
        std::to_string(context.cycles),
        "--seed",
        std::to_string(context.seed),
        "--failures",
        context.failuresDir,
        "--only",
        std::string(check.name),
        "--child-report",
        std::to_string(reinterpret_cast<std::uintptr_t>(channel)),
    };
    std::wstring line = sandbox::QuotedArgument(sandbox::ProgramPath().wstring());
    for (const std::string& word : words) {
        line += L" " + sandbox::QuotedArgument(Wide(word));
    }
    return line;
}

// A job that ends whatever is in it when the last handle to it closes, and
// holds each process in it to the memory limit.
HANDLE MakeJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = kChildMemoryLimit;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// Moves whatever the child has written so far into `report`.
void Drain(HANDLE pipe, std::string& report) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD n = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &n, nullptr) ||
            n == 0) {
            return;
        }
        report.append(buffer, n);
    }
}

// The exception codes a crashed check is most likely to end with, in words.
std::string ExceptionText(DWORD code) {
    struct Name {
        DWORD code;
        const char* words;
    };
    static constexpr Name kNames[] = {
        {0xC0000005, "access violation"},
        {0xC000001D, "illegal instruction"},
        {0xC00000FD, "stack overflow"},
        {0xC0000094, "integer division by zero"},
        {0xC0000095, "integer overflow"},
        {0xC0000096, "privileged instruction"},
        {0xC0000006, "in-page error"},
        {0xC000008C, "array bounds exceeded"},
        {0xC000008E, "floating-point division by zero"},
        {0xC0000090, "invalid floating-point operation"},
        {0xC0000374, "heap corruption"},
        {0xC0000409, "stack buffer overrun"},
        {0xC0000017, "out of memory"},
        {0xC0000025, "noncontinuable exception"},
        {0x80000003, "breakpoint"},
        {0x80000002, "misaligned data"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    for (const Name& name : kNames) {
        if (name.code == code) {
            return std::string("exception ") + hex + " (" + name.words + ")";
        }
    }
    return std::string("exception ") + hex;
}

// How the child's exit code reads: an exception code for a crash (the child's
// own filter ends it with that code, see PrepareChild); 3 for abort(), which
// is how the C runtime ends a program that aborts.
void ReadExitCode(DWORD code, ChildEnd& end) {
    if (code >= 0xC0000000 || code == 0x80000003 || code == 0x80000002) {
        end.how = ChildEnd::How::Crashed;
        end.cause = ExceptionText(code);
    } else if (code == 3) {
        end.how = ChildEnd::How::Crashed;
        end.cause = "abort() (exit status 3)";
    } else {
        end.how = ChildEnd::How::Exited;
        end.status = int(code);
    }
}

LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A stack overflow leaves a page or two to handle it in; the C++ runtime's
// own handlers, called first otherwise, use them up (under Wine the process
// then ends with status 0, as if it had passed). Ended at once instead.
LONG WINAPI EndOnStackOverflow(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
        TerminateProcess(GetCurrentProcess(), EXCEPTION_STACK_OVERFLOW);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

namespace {

// A child started for a check: its end of the report pipe, its job, itself.
struct Child {
    Handle reading;
    Handle job;
    Handle process;
};

// Starts the child in its job; false, with `why`, when it could not be.
bool StartChild(const Check& check, const CheckContext& context, Child& child, std::string& why) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle writing;
    if (!CreatePipe(&child.reading.value, &writing.value, &inherit, 0) ||
        !SetHandleInformation(child.reading.value, HANDLE_FLAG_INHERIT, 0)) {
        why = "cannot make a pipe: " + files::SystemText(GetLastError());
        return false;
    }
    child.job.value = MakeJob();
    if (child.job.value == nullptr) {
        why = "cannot make a job object: " + files::SystemText(GetLastError());
        return false;
    }
    std::wstring command = ChildCommandLine(check, context, writing.value);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::fflush(nullptr);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process)) {
        why = "cannot start this program again for the check: " + files::SystemText(GetLastError());
        return false;
    }
    child.process.value = process.hProcess;
    Handle thread(process.hThread);
    // In the job before it runs a single instruction, so nothing escapes it.
    if (!AssignProcessToJobObject(child.job.value, child.process.value)) {
        why = "cannot put the child in its job: " + files::SystemText(GetLastError());
        TerminateProcess(child.process.value, 1);
        return false;
    }
    ResumeThread(thread.value);
    return true;
}

} // namespace

ChildEnd RunInChildProcess(const Check& check, const CheckContext& context,
                           std::chrono::seconds limit) {
    ChildEnd end;
    Child child;
    if (!StartChild(check, context, child, end.cause)) {
        return end;
    }
    const auto deadline = Clock::now() + limit;
    for (;;) {
        Drain(child.reading.value, end.report);
        if (WaitForSingleObject(child.process.value, 10) == WAIT_OBJECT_0) {
            break;
        }
        const bool stopped = context.stopping && context.stopping();
        if (stopped || Clock::now() >= deadline) {
            TerminateJobObject(child.job.value, kTimedOutStatus);
            WaitForSingleObject(child.process.value, INFINITE);
            end.how = stopped ? ChildEnd::How::Stopped : ChildEnd::How::TimedOut;
            return end;
        }
    }
    Drain(child.reading.value, end.report);
    DWORD code = 0;
    GetExitCodeProcess(child.process.value, &code);
    ReadExitCode(code, end);
    return end;
}

void PrepareChild() {
    // No error box and no debugger: a crash ends the process, with its
    // exception code as the exit status (which Wine's default handling, which
    // starts its debugger, does not give for a stack overflow).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndWithExceptionCode);
    AddVectoredExceptionHandler(1, EndOnStackOverflow);
}

bool WriteReport(const std::string& channel, const std::string& text) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(channel.c_str(), &end, 10);
    if (end == channel.c_str() || *end != '\0') {
        return false;
    }
    const HANDLE pipe = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
    std::size_t written = 0;
    while (written < text.size()) {
        DWORD n = 0;
        if (!WriteFile(pipe, text.data() + written, DWORD(text.size() - written), &n, nullptr) ||
            n == 0) {
            return false;
        }
        written += n;
    }
    return true;
}

std::string OwnMemoryLimit() {
    BOOL inJob = FALSE;
    if (!IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) || !inJob) {
        return "no memory limit";
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    if (!QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits, nullptr) ||
        (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) == 0) {
        // Wine keeps a job's processes but none of its limits.
        return "a job without a memory limit";
    }
    return "a memory limit of " + std::to_string(limits.ProcessMemoryLimit >> 20) + " MiB";
}

} // namespace validate
