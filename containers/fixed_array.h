// N element slots stored in place, of which the first count are alive: the in-place part of a
// hybrid array.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include "abi/types.h"
#include "containers/element_range.h"
#include "vesk/exceptions.h"

// Invariant: slots [0, count) hold live elements, the rest raw bytes. Indices are not checked.
template <class T, t_uint32 N>
class fixed_array_t {
    static_assert(N >= 1);
    static_assert(container_detail::element_type_ok<T>,
                  "elements must be default constructible, never throw from their destructor, and "
                  "either move without throwing or be copyable");

public:
    fixed_array_t() noexcept = default;
    fixed_array_t(const fixed_array_t&) = delete;
    fixed_array_t& operator=(const fixed_array_t&) = delete;

    // The source is left with no elements.
    fixed_array_t(fixed_array_t&& other) noexcept
        requires std::is_nothrow_move_constructible_v<T>
    {
        take(other);
    }

    fixed_array_t& operator=(fixed_array_t&& other) noexcept
        requires std::is_nothrow_move_constructible_v<T>
    {
        if (this != &other) {
            truncate(0);
            take(other);
        }
        return *this;
    }

    ~fixed_array_t() { truncate(0); }

    // Makes the count n, creating empty elements or destroying the ones beyond n. Raises
    // vesk::exception_overflow when n > N, and passes on a failed creation; either way nothing
    // changes.
    void resize(t_uint32 n) {
        if (n > N) throw vesk::exception_overflow();
        if (n > count_) {
            container_detail::create_empty(slots(), count_, n);
            count_ = n;
        } else {
            truncate(n);
        }
    }

    // Destroys the elements beyond n (n <= count).
    void truncate(t_uint32 n) noexcept {
        container_detail::destroy_range(slots(), n, count_);
        count_ = n;
    }

    T& operator[](t_uint32 index) noexcept { return slots()[index]; }
    const T& operator[](t_uint32 index) const noexcept { return slots()[index]; }

    t_uint32 count() const noexcept { return count_; }
    static constexpr t_uint32 fixed_size = N;

private:
    T* slots() noexcept { return std::launder(reinterpret_cast<T*>(bytes_)); }
    const T* slots() const noexcept { return std::launder(reinterpret_cast<const T*>(bytes_)); }

    void take(fixed_array_t& other) noexcept {
        container_detail::transfer(other.slots(), slots(), other.count_);
        count_ = other.count_;
        other.truncate(0);
    }

    alignas(T) unsigned char bytes_[N * sizeof(T)];
    t_uint32 count_ = 0;
};
