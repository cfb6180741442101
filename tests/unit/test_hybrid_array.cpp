// hybrid_array_t over several in-place sizes: logical indices across the two parts, no heap while
// the fixed part suffices, and unchanged contents when growth fails partway.

#include <gtest/gtest.h>

#include <new>
#include <utility>
#include <vector>

#include "containers/fixed_array.h"
#include "containers/growable_array.h"
#include "containers/hybrid_array.h"
#include "counted_element.h"
#include "platform/standin.h"
#include "vesk/exceptions.h"

namespace {

using platform::standin::fail_heap_call;
using platform::standin::heap_calls;

template <class H>
std::vector<int> values(const H& array) {
    std::vector<int> out;
    for (t_uint32 i = 0; i < array.count(); ++i) out.push_back(array[i].value);
    return out;
}

// Values 1..count, with the counts of the two parts.
template <class H>
void expect_layout(const H& array, t_uint32 n) {
    constexpr t_uint32 N = H::fixed_size;
    std::vector<int> expected;
    for (t_uint32 i = 0; i < n; ++i) expected.push_back(static_cast<int>(i + 1));
    EXPECT_EQ(values(array), expected);
    EXPECT_EQ(array.fixed_count(), n < N ? n : N);
    EXPECT_EQ(array.overflow().count(), n > N ? n - N : 0);
}

template <class H>
class hybrid_array_test : public counting_test {};
using hybrid_types = ::testing::Types<hybrid_array_t<counted, 1>, hybrid_array_t<counted, 3>,
                                      hybrid_array_t<counted, 10>>;
TYPED_TEST_SUITE(hybrid_array_test, hybrid_types);

TYPED_TEST(hybrid_array_test, counts_around_the_fixed_size) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    TypeParam array;
    t_uint32 kept = 0;
    for (t_uint32 n : {N - 1, N, N + 1, 2 * N, N, N + 1, N - 1, 0u, 2 * N}) {
        array.resize(n);
        ASSERT_EQ(array.count(), n);
        for (t_uint32 i = 0; i < n; ++i) {
            EXPECT_EQ(array[i].value, i < kept ? static_cast<int>(i + 1) : 0) << "n " << n << " i " << i;
            array[i].value = static_cast<int>(i + 1);
        }
        kept = n;
        expect_layout(array, n);
        EXPECT_EQ(lifetimes::alive(), static_cast<long>(n));
    }
}

TYPED_TEST(hybrid_array_test, the_heap_only_serves_the_overflow) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    TypeParam array;
    const unsigned long calls = heap_calls();
    array.resize(N);
    array.resize(0);
    array.resize(N - 1);
    EXPECT_EQ(heap_calls(), calls);
    EXPECT_EQ(array.overflow().capacity(), 0u);

    array.resize(N + 1);
    EXPECT_GT(heap_calls(), calls);
    array.resize(N);
    // Once it has a block the overflow keeps a small one while it holds nothing.
    EXPECT_EQ(array.overflow().count(), 0u);
    EXPECT_GE(array.overflow().capacity(), 1u);
    EXPECT_LE(array.overflow().capacity(), 2u);
}

TYPED_TEST(hybrid_array_test, swap_works_across_the_parts) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    TypeParam array;
    array.resize(2 * N);
    for (t_uint32 i = 0; i < 2 * N; ++i) array[i].value = static_cast<int>(i + 1);
    std::vector<int> expected = values(array);
    for (auto [a, b] : {std::pair<t_uint32, t_uint32>{0, 2 * N - 1}, {N - 1, N}, {N, 0}}) {
        array.swap(a, b);
        std::swap(expected[a], expected[b]);
        EXPECT_EQ(values(array), expected);
    }
    EXPECT_EQ(lifetimes::alive(), static_cast<long>(2 * N));
}

// Grows from N-1 elements to 2N+1: one creation in place, then the overflow's first block.
TYPED_TEST(hybrid_array_test, heap_failure_while_growing_leaves_it_unchanged) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    bool failed_once = false;
    for (unsigned long k = 1;; ++k) {
        TypeParam array;
        array.resize(N - 1);
        for (t_uint32 i = 0; i < N - 1; ++i) array[i].value = static_cast<int>(i + 1);
        const unsigned long calls = heap_calls();
        fail_heap_call(k);
        try {
            array.resize(2 * N + 1);
        } catch (const std::bad_alloc&) {
            failed_once = true;
            expect_layout(array, N - 1);
            EXPECT_EQ(lifetimes::alive(), static_cast<long>(N - 1));
            continue;
        }
        fail_heap_call(0);
        EXPECT_EQ(array.count(), 2 * N + 1);
        if (heap_calls() - calls < k) break;
    }
    EXPECT_TRUE(failed_once);
}

TYPED_TEST(hybrid_array_test, element_failing_partway_leaves_it_unchanged) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    long k = 1;
    for (;; ++k) {
        TypeParam array;
        array.resize(N - 1);
        for (t_uint32 i = 0; i < N - 1; ++i) array[i].value = static_cast<int>(i + 1);
        lifetimes::fail_construction(k);
        try {
            array.resize(2 * N + 1);
        } catch (const element_failure&) {
            expect_layout(array, N - 1);
            EXPECT_EQ(lifetimes::alive(), static_cast<long>(N - 1));
            continue;
        }
        lifetimes::fail_construction(0);
        break;
    }
    // One in the fixed part, N + 1 in the overflow: each was a failure point.
    EXPECT_EQ(k - 1, static_cast<long>(N + 2));
}

TYPED_TEST(hybrid_array_test, fixed_part_refuses_more_than_its_size) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    fixed_array_t<counted, N> fixed;
    fixed.resize(N);
    try {
        fixed.resize(N + 1);
        ADD_FAILURE() << "no overflow raised";
    } catch (const vesk::exception_overflow& e) {
        EXPECT_STREQ(e.what(), "Overflow");
    }
    EXPECT_EQ(fixed.count(), N);
    EXPECT_EQ(lifetimes::alive(), static_cast<long>(N));
}

// Hybrid arrays as elements of a growable array (as field entries hold their values): relocation
// moves them whole, both parts.
TYPED_TEST(hybrid_array_test, moves_whole_when_its_holder_grows) {
    constexpr t_uint32 N = TypeParam::fixed_size;
    growable_array_t<TypeParam> outer;
    outer.resize(2);
    for (t_uint32 j = 0; j < 2; ++j) {
        outer[j].resize(2 * N + j);
        for (t_uint32 i = 0; i < outer[j].count(); ++i) outer[j][i].value = static_cast<int>(i + 1);
    }
    outer.resize(9);
    expect_layout(outer[0], 2 * N);
    expect_layout(outer[1], 2 * N + 1);
    EXPECT_EQ(outer[8].count(), 0u);
    outer.swap(0, 1);
    expect_layout(outer[0], 2 * N + 1);

    TypeParam moved(std::move(outer[0]));
    expect_layout(moved, 2 * N + 1);
    EXPECT_EQ(outer[0].count(), 0u);
    EXPECT_EQ(lifetimes::alive(), static_cast<long>(4 * N + 1));
}

}  // namespace
