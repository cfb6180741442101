// Creating, relocating and destroying runs of elements in raw storage: the pieces the arrays share.
// Every operation that can fail undoes its own partial work before the error passes on, so a
// caller only has to release what it allocated itself.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include "abi/types.h"

namespace container_detail {

// What the arrays ask of an element type. A destructor that lets an error escape would leave an
// array half destroyed, so element types swallow such errors themselves (a field entry does).
// Relocation moves when the move cannot fail and copies otherwise, so a failed relocation always
// leaves the source intact.
template <class T>
inline constexpr bool element_type_ok = std::is_nothrow_destructible_v<T> &&
                                        std::is_default_constructible_v<T> &&
                                        (std::is_nothrow_move_constructible_v<T> ||
                                         std::is_copy_constructible_v<T>);

// Blocks from the process heap are aligned for two pointers (8 bytes on 32-bit Windows).
template <class T>
inline constexpr bool heap_alignment_ok = alignof(T) <= 2 * sizeof(void*);

template <class T>
void destroy_range(T* base, t_uint32 from, t_uint32 to) noexcept {
    for (t_uint32 i = to; i > from; --i) base[i - 1].~T();
}

// Creates empty (value-initialised) elements at [from, to); on failure the ones made are destroyed.
template <class T>
void create_empty(T* base, t_uint32 from, t_uint32 to) {
    t_uint32 i = from;
    try {
        for (; i < to; ++i) ::new (static_cast<void*>(base + i)) T();
    } catch (...) {
        destroy_range(base, from, i);
        throw;
    }
}

// Constructs target[0, n) from source[0, n), leaving the source elements alive (moved from, or
// copied). On failure the targets made are destroyed and the source is untouched.
template <class T>
void transfer(T* source, T* target, t_uint32 n) noexcept(std::is_nothrow_move_constructible_v<T>) {
    if constexpr (std::is_nothrow_move_constructible_v<T>) {
        for (t_uint32 i = 0; i < n; ++i) ::new (static_cast<void*>(target + i)) T(std::move(source[i]));
    } else {
        t_uint32 i = 0;
        try {
            for (; i < n; ++i) ::new (static_cast<void*>(target + i)) T(static_cast<const T&>(source[i]));
        } catch (...) {
            destroy_range(target, 0, i);
            throw;
        }
    }
}

// Lets an element type's own swap (found by argument-dependent lookup) take part.
template <class T>
void swap_values(T& a, T& b) noexcept(std::is_nothrow_swappable_v<T>) {
    using std::swap;
    swap(a, b);
}

}  // namespace container_detail
