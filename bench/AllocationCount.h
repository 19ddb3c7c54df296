#pragma once

// Counts the global operator new calls made on this thread while it lives. The
// benchmark executables replace the global operator new (AllocationCount.cpp)
// and export it, so the loaded plugin module and the stand-in SDK library
// allocate through it too and are counted with everything else.
class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;

    long Count() const;

private:
    long start_;
    bool outer_;
};
