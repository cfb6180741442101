// A bare owning pointer to an exact-size heap copy of a text: the smallest string there is, for
// texts that are set once and read often (module strings, field names and values).
#pragma once

#include "abi/conventions.h"


// Null when empty, otherwise a block of exactly length + 1 bytes ending in the NUL.
// Moves are noexcept so that arrays can relocate elements without a way to fail; a copy
// allocates and may raise std::bad_alloc.
class simple_string {
public:
    simple_string() noexcept = default;
    explicit simple_string(const char* source, t_uint32 max_length = vesk::length_up_to_nul) {
        set(source, max_length);
    }
    simple_string(const simple_string& other) { set(other.block_, vesk::length_up_to_nul); }
    simple_string(simple_string&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    simple_string& operator=(const simple_string& other);
    simple_string& operator=(simple_string&& other) noexcept;
    ~simple_string();

    // Keeps the first k bytes of source, k = bytes before its NUL but at most max_length (0 for a
    // null source). k == 0 frees the block. Raises std::bad_alloc and keeps the old text when the
    // heap refuses.
    void set(const char* source, t_uint32 max_length);
    // Never null.
    const char* text() const noexcept { return block_ ? block_ : ""; }
    t_uint32 length() const noexcept;
    bool is_empty() const noexcept { return block_ == nullptr; }

private:
    char* block_ = nullptr;
};

static_assert(sizeof(simple_string) == sizeof(void*));
