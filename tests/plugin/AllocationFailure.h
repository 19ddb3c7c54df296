#pragma once

#if defined(_WIN32)
#include <utility>
#include <vector>
#endif

// While one of these lives, allocations fail with std::bad_alloc.
// POSIX (AllocationFailure.cpp): every one, in this program and in the modules
// it loaded; the test executable replaces the global operator new and exports
// it, so the module's allocations go through it too.
// Windows (AllocationFailureWindows.cpp): each DLL has an operator new of its
// own, so the next allocation of a loaded module of the build fails, through
// the malloc it imports (see there why only one).
class AllocationFailure {
public:
    AllocationFailure();
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

#if defined(_WIN32)
private:
    // Each patched import slot and the address it held.
    std::vector<std::pair<void**, void*>> patched_;
#endif
};
