// The process heap. On Windows: HeapAlloc, HeapReAlloc (in-place only where asked), HeapFree.
// Elsewhere: malloc, realloc and free, where an in-place resize succeeds only if the block can
// stay where it is.
#pragma once

#include <cstddef>

namespace platform {

// Null on failure.
void* heap_allocate(std::size_t bytes) noexcept;
// The block moved or resized, keeping min(old, bytes) bytes; null on failure, block untouched.
void* heap_reallocate(void* block, std::size_t bytes) noexcept;
// True when the block now holds bytes without moving; false leaves it untouched.
bool heap_resize_in_place(void* block, std::size_t bytes) noexcept;
// Null is allowed.
void heap_free(void* block) noexcept;

}  // namespace platform
