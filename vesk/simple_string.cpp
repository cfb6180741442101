#include "vesk/simple_string.h"

#include <cstring>

#include "abi/conventions.h"
#include "platform/heap.h"
#include "vesk/out_of_memory.h"

simple_string& simple_string::operator=(const simple_string& other) {
    if (this != &other) set(other.block_, vesk::length_up_to_nul);
    return *this;
}

simple_string& simple_string::operator=(simple_string&& other) noexcept {
    if (this != &other) {
        platform::heap_free(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

simple_string::~simple_string() { platform::heap_free(block_); }

t_uint32 simple_string::length() const noexcept {
    return vesk::text_length(block_, vesk::length_up_to_nul);
}

void simple_string::set(const char* source, t_uint32 max_length) {
    const t_uint32 old_length = length();
    const auto address = reinterpret_cast<std::uintptr_t>(source);
    const auto start = reinterpret_cast<std::uintptr_t>(block_);
    const bool inside = block_ && address >= start && address - start <= old_length;

    // Within our own block the length is bounded by its NUL anyway; text_length stops there.
    const t_uint32 k = vesk::text_length(source, max_length);
    if (k == 0) {
        platform::heap_free(block_);
        block_ = nullptr;
        return;
    }
    if (k == 0xFFFFFFFFu) vesk::throw_bad_alloc();  // k + 1 would not fit 32 bits

    if (inside) {
        // The resize below could move or cut the source: take a copy first, which then becomes
        // the block itself.
        void* copy = platform::heap_allocate(k + 1u);
        if (!copy) vesk::throw_bad_alloc();
        std::memcpy(copy, source, k);
        static_cast<char*>(copy)[k] = 0;
        platform::heap_free(block_);
        block_ = static_cast<char*>(copy);
        return;
    }

    if (!block_) {
        void* block = platform::heap_allocate(k + 1u);
        if (!block) vesk::throw_bad_alloc();
        block_ = static_cast<char*>(block);
    } else if (old_length != k) {
        void* block = platform::heap_reallocate(block_, k + 1u);
        if (!block) vesk::throw_bad_alloc();
        block_ = static_cast<char*>(block);
    }
    std::memcpy(block_, source, k);
    block_[k] = 0;
}
