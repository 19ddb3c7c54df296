#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {

// The replaced operator new has nowhere else to keep its tally. Per thread, so
// that a count taken on one thread never includes another's allocations.
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

AllocationCount::AllocationCount() : start_(allocations), outer_(!counting) {
    counting = true;
}

AllocationCount::~AllocationCount() {
    if (outer_) {
        counting = false;
    }
}

long AllocationCount::Count() const {
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

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
