#pragma once

// Counts the global operator new calls made on this thread while it lives.
// Programs that link allocation_counter replace the global operator new to
// do so. Code in shared libraries is seen only where the program exports the
// replacement (the benchmarks do, so the loaded plugin module and the SDK
// library are counted too); the overlay tests do not need to.
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
