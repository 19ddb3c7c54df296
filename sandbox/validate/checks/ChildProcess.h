#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "validate/checks/Check.h"

// The platform's part of running a check in a child process of its own, the
// rest being the same everywhere (ChildRunner.h). POSIX forks, and the child
// runs the check; Windows starts this program again for the one check
// (`validate --only NAME --child-report HANDLE` with the run's options), in a
// job object of its own. Either way the child runs RunHere and writes its text
// to a report channel the parent reads.
namespace validate {

// How a check's child process ended.
struct ChildEnd {
    enum class How { Exited, Crashed, TimedOut, Stopped, NotStarted };
    How how = How::NotStarted;
    int status = 0;     // Exited: its exit status
    std::string cause;  // Crashed: the signal or exception in words; NotStarted: why
    std::string report; // what the child wrote to the report channel
};

// The address space (POSIX) or committed memory (Windows) a check's child may
// take: far above what any check needs, so only a runaway module reaches it,
// and then fails its check instead of the machine.
inline constexpr std::size_t kChildMemoryLimit = std::size_t(2048) << 20;

// Runs the check in a child process with the memory limit above, and ends the
// child (and anything it started) when it is still running after `limit`, or
// as soon as the context's `stopping` says so.
ChildEnd RunInChildProcess(const Check& check, const CheckContext& context,
                           std::chrono::seconds limit);

// In the child, before the check runs: no core files, no crash dialog or
// debugger (a crash ends the process with its signal or exception code), and
// the memory limit where the child must set it on itself.
void PrepareChild();

// Writes the child's text to the report channel the parent named (a file
// descriptor's or handle's number); false if it could not.
bool WriteReport(const std::string& channel, const std::string& text);

// The memory limit this process runs under, in words ("a memory limit of
// 2048 MiB", "no memory limit"; on Windows "a job without a memory limit"
// where the system keeps the job but not its limit, as Wine does), for the
// self-test that shows it is set.
std::string OwnMemoryLimit();

} // namespace validate
