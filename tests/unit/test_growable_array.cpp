// growable_array_t: the growth rule, keeping elements across capacity changes, and leaving the
// array as it was when the heap or an element fails partway.

#include <gtest/gtest.h>

#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "containers/growable_array.h"
#include "counted_element.h"
#include "platform/standin.h"

namespace {

using platform::standin::fail_heap_call;
using platform::standin::heap_calls;

template <class T>
void fill(growable_array_t<T>& array) {
    for (t_uint32 i = 0; i < array.count(); ++i) array[i].value = static_cast<int>(i + 1);
}

template <class T>
std::vector<int> values(const growable_array_t<T>& array) {
    std::vector<int> out;
    for (t_uint32 i = 0; i < array.count(); ++i) out.push_back(array[i].value);
    return out;
}

std::vector<int> one_to(int n) {
    std::vector<int> out;
    for (int i = 1; i <= n; ++i) out.push_back(i);
    return out;
}

class growable_array_rule : public counting_test {};

TEST_F(growable_array_rule, capacity_follows_doubling_and_quarter_halving) {
    struct step {
        t_uint32 count;
        t_uint32 capacity;
    };
    const std::vector<std::vector<step>> cases = {
        {{5, 8}, {1, 4}},                  // grow from nothing, then halve twice
        {{8, 8}, {2, 8}},                  // a quarter of 8 does not exceed 2
        {{0, 1}, {1, 1}, {2, 2}, {3, 4}},  // resize(0) still takes a block
        {{8, 8}, {0, 2}},                  // an emptied array keeps a small block
        {{16, 16}, {3, 8}, {9, 16}, {17, 32}, {4, 16}},
    };
    for (const auto& sequence : cases) {
        growable_array_t<counted> array;
        for (const step& s : sequence) {
            array.resize(s.count);
            EXPECT_EQ(array.count(), s.count);
            EXPECT_EQ(array.capacity(), s.capacity) << "after resize(" << s.count << ")";
        }
    }
}

// Fails the next heap call, which is the in-place shrink, then lets the shrink happen.
void expect_refused_shrink(growable_array_t<counted>& array, t_uint32 n, t_uint32 count_after,
                           t_uint32 capacity_after, t_uint32 capacity_when_allowed) {
    fail_heap_call(1);
    EXPECT_THROW(array.resize(n), std::bad_alloc);
    EXPECT_EQ(array.count(), count_after);
    EXPECT_EQ(array.capacity(), capacity_after);
    EXPECT_EQ(values(array), one_to(static_cast<int>(count_after)));
    EXPECT_EQ(lifetimes::alive(), static_cast<long>(count_after));
    array.resize(n);
    EXPECT_EQ(array.capacity(), capacity_when_allowed);
}

TEST_F(growable_array_rule, in_place_shrink_refused) {
    {
        // Every live element fits the smaller block: it shrinks first, so nothing changes.
        growable_array_t<counted> array;
        array.resize(16);
        array.resize(5);
        fill(array);
        expect_refused_shrink(array, 3, 5, 16, 8);
    }
    {
        // Elements beyond the smaller block must go before it can shrink; they stay dropped.
        growable_array_t<counted> array;
        array.resize(16);
        fill(array);
        expect_refused_shrink(array, 1, 1, 16, 4);
    }
    {
        // From that state a shrinking resize that adds elements creates first, then undoes it.
        growable_array_t<counted> array;
        array.resize(16);
        fill(array);
        fail_heap_call(1);
        EXPECT_THROW(array.resize(1), std::bad_alloc);
        expect_refused_shrink(array, 2, 1, 16, 8);
    }
}

// A growth first asks to keep its block; a refusal only means a new block, so failing that first
// heap call still grows the array.
TEST_F(growable_array_rule, growth_tries_the_block_in_place_first) {
    growable_array_t<counted> array;
    array.resize(3);
    fill(array);
    fail_heap_call(1);
    array.resize(40);
    fail_heap_call(0);
    EXPECT_EQ(array.capacity(), 64u);
    std::vector<int> expected = one_to(3);
    expected.resize(40, 0);
    EXPECT_EQ(values(array), expected);
    EXPECT_EQ(lifetimes::alive(), 40);
}

TEST_F(growable_array_rule, overflowing_sizes_raise_without_touching_the_heap) {
    struct wide {
        char bytes[1024];
    };
    growable_array_t<counted> small;
    small.resize(3);
    fill(small);
    growable_array_t<wide> large;
    const unsigned long calls = heap_calls();
    // Doubling past 2^31 elements, and byte sizes past 32 bits at 4 and 1024 bytes an element.
    for (t_uint32 n : {0x80000001u, 0xFFFFFFFFu, 0x40000001u}) {
        EXPECT_THROW(small.resize(n), std::bad_alloc) << n;
    }
    EXPECT_THROW(large.resize(0x00400001u), std::bad_alloc);
    EXPECT_EQ(heap_calls(), calls);
    EXPECT_EQ(values(small), one_to(3));
    EXPECT_EQ(small.capacity(), 4u);
    EXPECT_EQ(large.capacity(), 0u);
}

template <class T>
class growable_array_typed : public counting_test {};
using element_types = ::testing::Types<counted, counted_copy_only>;
TYPED_TEST_SUITE(growable_array_typed, element_types);

TYPED_TEST(growable_array_typed, keeps_elements_and_creates_empty_ones) {
    growable_array_t<TypeParam> array;
    t_uint32 kept = 0;
    for (t_uint32 n : {1u, 2u, 3u, 5u, 9u, 17u, 33u, 4u, 0u, 6u, 40u}) {
        array.resize(n);
        ASSERT_EQ(array.count(), n);
        for (t_uint32 i = 0; i < n; ++i) {
            EXPECT_EQ(array[i].value, i < kept ? static_cast<int>(i + 1) : 0) << "n " << n << " i " << i;
        }
        fill(array);
        kept = n;
        EXPECT_EQ(lifetimes::alive(), static_cast<long>(n));
    }
}

TYPED_TEST(growable_array_typed, heap_failure_during_growth_leaves_it_unchanged) {
    bool failed_once = false;
    for (unsigned long k = 1;; ++k) {
        growable_array_t<TypeParam> array;
        array.resize(3);
        fill(array);
        const unsigned long calls = heap_calls();
        fail_heap_call(k);
        try {
            array.resize(40);
        } catch (const std::bad_alloc&) {
            failed_once = true;
            EXPECT_EQ(values(array), one_to(3)) << k;
            EXPECT_EQ(array.capacity(), 4u);
            continue;
        }
        fail_heap_call(0);
        EXPECT_EQ(array.capacity(), 64u);
        std::vector<int> expected = one_to(3);
        expected.resize(40, 0);
        EXPECT_EQ(values(array), expected);
        if (heap_calls() - calls < k) break;  // the failure was never reached: every call is covered
    }
    EXPECT_TRUE(failed_once);
}

TYPED_TEST(growable_array_typed, element_failing_partway_leaves_it_unchanged) {
    // Growth into a new block creates 37 empty elements and then relocates 3; a copy-only element
    // is copied, so its copies are failure points too.
    const long expected_points = std::is_nothrow_move_constructible_v<TypeParam> ? 37 : 40;
    long k = 1;
    for (;; ++k) {
        growable_array_t<TypeParam> array;
        array.resize(3);
        fill(array);
        lifetimes::fail_construction(k);
        try {
            array.resize(40);
        } catch (const element_failure&) {
            EXPECT_EQ(values(array), one_to(3)) << k;
            EXPECT_EQ(array.capacity(), 4u);
            EXPECT_EQ(lifetimes::alive(), 3);
            continue;
        }
        lifetimes::fail_construction(0);
        break;
    }
    EXPECT_EQ(k - 1, expected_points);

    // Creation within the block (capacity 4 holds a fourth element).
    growable_array_t<TypeParam> array;
    array.resize(3);
    fill(array);
    lifetimes::fail_construction(1);
    EXPECT_THROW(array.resize(4), element_failure);
    EXPECT_EQ(values(array), one_to(3));
}

TYPED_TEST(growable_array_typed, swap_and_move) {
    growable_array_t<TypeParam> array;
    array.resize(5);
    fill(array);
    array.swap(0, 4);
    EXPECT_EQ(values(array), (std::vector<int>{5, 2, 3, 4, 1}));

    growable_array_t<TypeParam> moved(std::move(array));
    EXPECT_EQ(moved.count(), 5u);
    EXPECT_EQ(array.count(), 0u);
    EXPECT_EQ(array.capacity(), 0u);
    array.resize(2);  // a moved-from array starts over
    EXPECT_EQ(array.capacity(), 2u);
    moved = std::move(array);
    EXPECT_EQ(moved.count(), 2u);
    EXPECT_EQ(lifetimes::alive(), 2);
}

}  // namespace
