// The Windows side of ProgramRun: a run of the sandbox through
// CreateProcessW, its config folder (%APPDATA%) pointed into the test's own
// folder.

#include "ProgramRun.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "base/WindowsArguments.h"

namespace sandboxtest {

namespace {

std::wstring Wide(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

// This process's environment with `name` set to `value`, as a block for
// CreateProcessW.
std::wstring EnvironmentWith(const std::wstring& name, const std::wstring& value) {
    std::wstring block;
    wchar_t* environment = GetEnvironmentStringsW();
    for (const wchar_t* entry = environment; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        if (_wcsnicmp(text.c_str(), (name + L"=").c_str(), name.size() + 1) != 0) {
            block += text + L'\0';
        }
    }
    FreeEnvironmentStringsW(environment);
    return block + name + L"=" + value + L'\0' + L'\0';
}

struct Handle {
    HANDLE value = nullptr;
    ~Handle() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) {
            CloseHandle(value);
        }
    }
};

} // namespace

RunResult RunSandbox(const std::vector<std::string>& arguments, const TempDir& home,
                     const std::vector<std::string>& wrapper) {
    if (!wrapper.empty()) {
        throw std::runtime_error("a wrapper program is not supported on Windows");
    }
    // A name of this run's own, and left in place when it cannot be removed:
    // under Wine the file can stay open for a moment after the program has
    // exited (a sharing violation on removing it was seen), and the test's
    // folder goes with everything in it anyway.
    static std::atomic<unsigned> runs{0};
    const std::filesystem::path errFile = home / (".stderr-" + std::to_string(++runs));
    std::wstring command =
        sandbox::QuotedArgument(std::filesystem::absolute(SANDBOX_PROGRAM).wstring());
    for (const std::string& argument : arguments) {
        command += L" " + sandbox::QuotedArgument(Wide(argument));
    }
    std::wstring environment =
        EnvironmentWith(L"APPDATA", (home / "config-home").make_preferred().wstring());

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle readOut, writeOut, errors;
    if (!CreatePipe(&readOut.value, &writeOut.value, &inherit, 0) ||
        !SetHandleInformation(readOut.value, HANDLE_FLAG_INHERIT, 0)) {
        throw std::runtime_error("cannot make a pipe");
    }
    errors.value = CreateFileW(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errors.value == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot make " + errFile.string() + ": error " +
                                 std::to_string(GetLastError()));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeOut.value;
    startup.hStdError = errors.value;
    PROCESS_INFORMATION process{};
    // Wine now and then fails to start a new process at all: the process
    // dies while Wine sets it up, before any of the sandbox ran, and
    // CreateProcessW reports ERROR_INTERNAL_ERROR (seen twice in one CI run,
    // never again in thousands of runs). That one error is tried again; any
    // other failure, or the same one three times, fails the test.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                           CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                           &process)) {
            break;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            throw std::runtime_error("cannot run the sandbox: error " + std::to_string(error));
        }
        Sleep(100 * attempt);
    }
    Handle thread{process.hThread}, child{process.hProcess};
    CloseHandle(writeOut.value);
    writeOut.value = nullptr;
    CloseHandle(errors.value);
    errors.value = nullptr;

    RunResult result;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(readOut.value, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        result.out.append(buffer, n);
    }
    WaitForSingleObject(child.value, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(child.value, &status);
    result.status = int(status);
    result.err = ReadFile(errFile);
    std::error_code ignored;
    std::filesystem::remove(errFile, ignored);
    return result;
}

} // namespace sandboxtest
