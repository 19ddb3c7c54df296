#pragma once

// Counts the global operator new calls made on this thread while it lives.
// The overlay test executable replaces the global operator new to do so; code
// in the stand-in SDK's shared library keeps its own allocator and is not seen.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long Count() const;

private:
    long start_;
    bool outer_;
};
