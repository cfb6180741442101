// The replaceable allocation operators over ucrtbase's heap. Failure raises std::bad_alloc, whose
// text is MSVC's "bad allocation".

#include <cstdlib>
#include <new>

const std::nothrow_t std::nothrow{};

void* __cdecl operator new(std::size_t bytes) {
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
    throw std::bad_alloc();
}

void* __cdecl operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes == 0 ? 1 : bytes); }

void* __cdecl operator new[](std::size_t bytes) { return operator new(bytes); }

void* __cdecl operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }

void __cdecl operator delete(void* block) noexcept { std::free(block); }

void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }

void __cdecl operator delete(void* block, std::size_t) noexcept { std::free(block); }

void __cdecl operator delete[](void* block) noexcept { std::free(block); }

void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

void __cdecl operator delete[](void* block, std::size_t) noexcept { std::free(block); }
