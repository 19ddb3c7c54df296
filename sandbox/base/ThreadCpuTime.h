#pragma once

#include <time.h>

namespace sandbox {

// CPU seconds the calling thread has used so far. Unlike elapsed time it does
// not grow while other programs have the processor, so the work of a
// thread can be measured on a busy machine.
inline double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace sandbox
