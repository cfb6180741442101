// A heap array with an explicit capacity that grows by doubling and shrinks by halving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "abi/types.h"
#include "containers/element_range.h"
#include "platform/heap.h"
#include "vesk/out_of_memory.h"

// Invariants: count <= capacity; elements [0, count) are alive and contiguous in storage; storage
// is null exactly when capacity is 0, which only a new, moved-from or destroyed array has. Once
// it has a block, resize never frees it: resize(0) keeps a capacity of 1 or 2.
//
// Indices are not checked: callers pass indices below count().
template <class T>
class growable_array_t {
    static_assert(container_detail::element_type_ok<T>,
                  "elements must be default constructible, never throw from their destructor, and "
                  "either move without throwing or be copyable");
    static_assert(container_detail::heap_alignment_ok<T>, "the process heap aligns blocks to two pointers");

public:
    growable_array_t() noexcept = default;
    growable_array_t(const growable_array_t&) = delete;
    growable_array_t& operator=(const growable_array_t&) = delete;

    // The source is left empty, without a block.
    growable_array_t(growable_array_t&& other) noexcept
        : storage_(std::exchange(other.storage_, nullptr)),
          capacity_(std::exchange(other.capacity_, 0)),
          count_(std::exchange(other.count_, 0)) {}

    growable_array_t& operator=(growable_array_t&& other) noexcept {
        if (this != &other) {
            release();
            storage_ = std::exchange(other.storage_, nullptr);
            capacity_ = std::exchange(other.capacity_, 0);
            count_ = std::exchange(other.count_, 0);
        }
        return *this;
    }

    ~growable_array_t() { release(); }

    // Makes the count n; new elements start empty, dropped ones are destroyed. The capacity is the
    // current one (at least 1), doubled while below n, then halved while a quarter of it exceeds
    // n. Raises std::bad_alloc when the capacity or its byte size passes 32 bits, or the heap
    // refuses; the array then keeps its elements. The one exception is a refused in-place shrink
    // after elements beyond the new capacity were dropped: those stay dropped (count n), and the
    // block and capacity stay as they were.
    void resize(t_uint32 n) {
        t_uint32 c = capacity_ == 0 ? 1 : capacity_;
        while (c < n) {
            if (c > UINT32_MAX / 2) vesk::throw_bad_alloc();
            c *= 2;
        }
        while (c / 4 > n) c /= 2;
        set_capacity_and_count(c, n);
    }

    T& operator[](t_uint32 index) noexcept { return storage_[index]; }
    const T& operator[](t_uint32 index) const noexcept { return storage_[index]; }

    t_uint32 count() const noexcept { return count_; }
    t_uint32 capacity() const noexcept { return capacity_; }

    void swap(t_uint32 a, t_uint32 b) noexcept(std::is_nothrow_swappable_v<T>) {
        container_detail::swap_values(storage_[a], storage_[b]);
    }

private:
    // Raises when c elements would take more than 32 bits of bytes.
    static std::size_t byte_size(t_uint32 c) {
        if (c > UINT32_MAX / sizeof(T)) vesk::throw_bad_alloc();
        return static_cast<std::size_t>(c) * sizeof(T);
    }

    void set_capacity_and_count(t_uint32 c, t_uint32 n) {
        const std::size_t bytes = byte_size(c);
        if (!storage_) {
            adopt_new_block(bytes, c, n);
        } else if (c < capacity_) {
            shrink(bytes, c, n);
        } else if (c == capacity_) {
            set_count(n);
        } else if (platform::heap_resize_in_place(storage_, bytes)) {
            // A failed set_count leaves the block bigger than capacity_ says: harmless, the heap
            // frees and resizes the block as it is.
            set_count(n);
            capacity_ = c;
        } else {
            adopt_new_block(bytes, c, n);
        }
    }

    // Creates or destroys elements in place to reach n; a failed creation changes nothing.
    void set_count(t_uint32 n) {
        if (n > count_) {
            container_detail::create_empty(storage_, count_, n);
        } else {
            container_detail::destroy_range(storage_, n, count_);
        }
        count_ = n;
    }

    // Only destroyed elements can't come back, so the block shrinks before any are dropped when
    // every live element fits in it, and after the creations (undone on failure) otherwise.
    void shrink(std::size_t bytes, t_uint32 c, t_uint32 n) {
        if (n > count_) {
            container_detail::create_empty(storage_, count_, n);
            if (!platform::heap_resize_in_place(storage_, bytes)) {
                container_detail::destroy_range(storage_, count_, n);
                vesk::throw_bad_alloc();
            }
            count_ = n;
        } else if (count_ <= c) {
            if (!platform::heap_resize_in_place(storage_, bytes)) vesk::throw_bad_alloc();
            set_count(n);
        } else {
            set_count(n);
            if (!platform::heap_resize_in_place(storage_, bytes)) vesk::throw_bad_alloc();
        }
        capacity_ = c;
    }

    // Builds the n elements in a fresh block of c (the kept ones relocated, the rest empty) and only
    // then lets the old block go, so any failure leaves the array as it was.
    void adopt_new_block(std::size_t bytes, t_uint32 c, t_uint32 n) {
        T* const fresh = static_cast<T*>(platform::heap_allocate(bytes));
        if (!fresh) vesk::throw_bad_alloc();
        const t_uint32 kept = n < count_ ? n : count_;
        try {
            container_detail::create_empty(fresh, kept, n);
        } catch (...) {
            platform::heap_free(fresh);
            throw;
        }
        try {
            container_detail::transfer(storage_, fresh, kept);
        } catch (...) {
            container_detail::destroy_range(fresh, kept, n);
            platform::heap_free(fresh);
            throw;
        }
        release();
        storage_ = fresh;
        capacity_ = c;
        count_ = n;
    }

    void release() noexcept {
        if (storage_) {
            container_detail::destroy_range(storage_, 0, count_);
            platform::heap_free(storage_);
        }
        storage_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

    T* storage_ = nullptr;
    t_uint32 capacity_ = 0;
    t_uint32 count_ = 0;
};
