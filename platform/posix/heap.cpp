// The stand-in process heap: malloc and friends, with a seam that makes the n-th call fail.

#include <malloc.h>

#include <atomic>
#include <cstdlib>

#include "platform/heap.h"
#include "platform/standin.h"

namespace {

std::atomic<unsigned long> calls{0};
std::atomic<unsigned long> failing_call{0};  // absolute call number that fails; 0: none

// Counts the call and answers whether it is the one chosen to fail.
bool this_call_fails() noexcept {
    const unsigned long number = ++calls;
    unsigned long expected = number;
    return failing_call.load() != 0 && failing_call.compare_exchange_strong(expected, 0);
}

}  // namespace

namespace platform {

void* heap_allocate(std::size_t bytes) noexcept {
    if (this_call_fails()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* heap_reallocate(void* block, std::size_t bytes) noexcept {
    if (this_call_fails()) return nullptr;
    if (!block) return std::malloc(bytes == 0 ? 1 : bytes);
    return std::realloc(block, bytes == 0 ? 1 : bytes);
}

bool heap_resize_in_place(void* block, std::size_t bytes) noexcept {
    if (this_call_fails()) return false;
    // A shrink keeps the block as it is; a growth fits only within what malloc already gave.
    return block && bytes <= malloc_usable_size(block);
}

void heap_free(void* block) noexcept { std::free(block); }

}  // namespace platform

namespace platform::standin {

void fail_heap_call(unsigned long n) noexcept { failing_call = n == 0 ? 0 : calls.load() + n; }

unsigned long heap_calls() noexcept { return calls.load(); }

}  // namespace platform::standin
