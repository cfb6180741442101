// The process heap through Win32: the heap the player's own allocations come from.

#include <windows.h>

#include "platform/heap.h"

namespace platform {

void* heap_allocate(std::size_t bytes) noexcept { return HeapAlloc(GetProcessHeap(), 0, bytes); }

void* heap_reallocate(void* block, std::size_t bytes) noexcept {
    // HeapReAlloc refuses a null block; the contract treats it as a fresh allocation.
    if (!block) return HeapAlloc(GetProcessHeap(), 0, bytes);
    return HeapReAlloc(GetProcessHeap(), 0, block, bytes);
}

bool heap_resize_in_place(void* block, std::size_t bytes) noexcept {
    return block && HeapReAlloc(GetProcessHeap(), HEAP_REALLOC_IN_PLACE_ONLY, block, bytes) != nullptr;
}

void heap_free(void* block) noexcept {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace platform
