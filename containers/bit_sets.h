// Sets of one bit per position, all clear at first: the visited marks of an in-place permutation.
#pragma once

#include <cstring>

#include "abi/types.h"
#include "platform/heap.h"
#include "vesk/exceptions.h"
#include "vesk/out_of_memory.h"

// Bytes * 8 bits stored in place. A position at or past that raises vesk::exception_overflow.
template <t_uint32 Bytes>
class fixed_bit_set_t {
public:
    static constexpr t_uint32 bit_count = Bytes * 8;

    bool get(t_uint32 position) const {
        check(position);
        return (bits_[position / 8] >> (position % 8)) & 1u;
    }
    void set(t_uint32 position) {
        check(position);
        bits_[position / 8] = static_cast<unsigned char>(bits_[position / 8] | (1u << (position % 8)));
    }

private:
    static void check(t_uint32 position) {
        if (position >= bit_count) throw vesk::exception_overflow();
    }

    unsigned char bits_[Bytes] = {};
};

// count bits in one heap block, for sets too large to keep in place. Raises std::bad_alloc when the
// heap refuses. Positions are not checked.
class heap_bit_set {
public:
    explicit heap_bit_set(t_uint32 count) {
        const std::size_t bytes = count / 8 + (count % 8 != 0 ? 1 : 0);
        if (bytes != 0) {
            bits_ = static_cast<unsigned char*>(platform::heap_allocate(bytes));
            if (!bits_) vesk::throw_bad_alloc();
            std::memset(bits_, 0, bytes);
        }
    }
    heap_bit_set(const heap_bit_set&) = delete;
    heap_bit_set& operator=(const heap_bit_set&) = delete;
    ~heap_bit_set() { platform::heap_free(bits_); }

    bool get(t_uint32 position) const noexcept { return (bits_[position / 8] >> (position % 8)) & 1u; }
    void set(t_uint32 position) noexcept {
        bits_[position / 8] = static_cast<unsigned char>(bits_[position / 8] | (1u << (position % 8)));
    }

private:
    unsigned char* bits_ = nullptr;
};
