#pragma once

// While one of these lives, every global operator new in the process throws
// std::bad_alloc. The test executable replaces the global operator new and
// exports it, so the plugin module's allocations go through it too.
class AllocationFailure {
public:
    AllocationFailure();
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
};
