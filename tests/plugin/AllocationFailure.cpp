#include "AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> failing{false};
}

AllocationFailure::AllocationFailure() {
    failing = true;
}

AllocationFailure::~AllocationFailure() {
    failing = false;
}

void* operator new(std::size_t size) {
    if (failing) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
