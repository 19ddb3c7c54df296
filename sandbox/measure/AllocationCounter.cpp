#include "measure/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

// Per thread, so that counting on one thread never sees another's allocations.
thread_local long allocations = 0;
thread_local bool counting = false;

void* Allocate(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept {
    if (counting) {
        ++allocations;
    }
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

AllocationCounter::AllocationCounter() : start_(allocations), outer_(!counting) {
    counting = true;
}

AllocationCounter::~AllocationCounter() {
    if (outer_) {
        counting = false;
    }
}

long AllocationCounter::Count() const {
    return allocations - start_;
}

void* operator new(std::size_t size) {
    return Allocate(size);
}

void* operator new[](std::size_t size) {
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
