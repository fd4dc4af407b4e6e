// Replacements of the nothrow allocation functions that can be told to fail.
#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

int g_AllocationsLeft = -1; // -1: no limit

void* Allocate(std::size_t size) {
    if (g_AllocationsLeft == 0) {
        return nullptr;
    }
    if (g_AllocationsLeft > 0) {
        --g_AllocationsLeft;
    }
    return std::malloc(size ? size : 1); // the runtime's delete frees with free
}

} // namespace

FailingAllocations::FailingAllocations(int allowed) {
    g_AllocationsLeft = allowed;
}

FailingAllocations::~FailingAllocations() {
    g_AllocationsLeft = -1;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
