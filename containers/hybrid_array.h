// An array whose first N elements live in place and whose further elements live on the heap.
#pragma once

#include <type_traits>
#include <utility>

#include "abi/types.h"
#include "containers/element_range.h"
#include "containers/fixed_array.h"
#include "containers/growable_array.h"

// Logical element i is fixed slot i for i < N and overflow element i - N beyond.
// Invariant: the overflow holds elements only while the fixed part holds all N.
// Indices are not checked: callers pass indices below count().
template <class T, t_uint32 N>
class hybrid_array_t {
public:
    hybrid_array_t() noexcept = default;
    hybrid_array_t(const hybrid_array_t&) = delete;
    hybrid_array_t& operator=(const hybrid_array_t&) = delete;

    // The source is left empty.
    hybrid_array_t(hybrid_array_t&& other) noexcept
        requires std::is_nothrow_move_constructible_v<T>
        : fixed_(std::move(other.fixed_)),
          overflow_(std::move(other.overflow_)) {}

    hybrid_array_t& operator=(hybrid_array_t&& other) noexcept
        requires std::is_nothrow_move_constructible_v<T>
    {
        fixed_ = std::move(other.fixed_);
        overflow_ = std::move(other.overflow_);
        return *this;
    }

    ~hybrid_array_t() = default;

    // Makes the logical count n; new elements start empty, dropped ones are destroyed. On failure
    // (std::bad_alloc from the overflow, or an element's creation error) the elements stay as they
    // were. An overflow that never had a block gets none while n <= N: the in-place part is there
    // so that small arrays need no heap at all.
    void resize(t_uint32 n) {
        if (n <= N) {
            // The overflow goes first: its shrink is the step that may be refused, and the fixed
            // part can still undo its own creations.
            if (overflow_.capacity() != 0) overflow_.resize(0);
            fixed_.resize(n);
            return;
        }
        const t_uint32 old_fixed = fixed_.count();
        fixed_.resize(N);
        try {
            overflow_.resize(n - N);
        } catch (...) {
            fixed_.truncate(old_fixed);
            throw;
        }
    }

    T& operator[](t_uint32 index) noexcept { return index < N ? fixed_[index] : overflow_[index - N]; }
    const T& operator[](t_uint32 index) const noexcept {
        return index < N ? fixed_[index] : overflow_[index - N];
    }

    t_uint32 count() const noexcept { return fixed_.count() + overflow_.count(); }

    // Works across the two parts.
    void swap(t_uint32 a, t_uint32 b) noexcept(std::is_nothrow_swappable_v<T>) {
        container_detail::swap_values((*this)[a], (*this)[b]);
    }

    t_uint32 fixed_count() const noexcept { return fixed_.count(); }
    const growable_array_t<T>& overflow() const noexcept { return overflow_; }
    static constexpr t_uint32 fixed_size = N;

private:
    fixed_array_t<T, N> fixed_;
    growable_array_t<T> overflow_;
};
