// The test binary's own operator new and delete, over malloc and free, so
// that one chosen allocation can fail (FailingAllocations.h).
#include "FailingAllocations.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations left before the one that fails; 0 while none is to fail.
thread_local int AllocationsToFailure = 0;
thread_local bool Failed = false;

}  // namespace

TFailingAllocation::TFailingAllocation(int nth) {
    Failed = false;
    AllocationsToFailure = nth;
}

TFailingAllocation::~TFailingAllocation() {
    AllocationsToFailure = 0;
}

bool TFailingAllocation::Happened() const {
    return Failed;
}

void* operator new(std::size_t size) {
    if (AllocationsToFailure > 0 && --AllocationsToFailure == 0) {
        Failed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
