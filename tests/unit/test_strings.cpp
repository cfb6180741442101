// The growable strings (both allocation strategies) and simple_string.

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <type_traits>

#include "platform/standin.h"
#include "tests/support/heap_seam_reset.h"
#include "vesk/simple_string.h"
#include "vesk/string8.h"

namespace {

using vesk::alloc_fast_aggressive;
using vesk::alloc_standard;
using vesk::length_up_to_nul;
using standard_string = vesk::string8_t<alloc_standard>;
using fast_string = vesk::string8_t<alloc_fast_aggressive>;

constexpr t_uint32 all = length_up_to_nul;

// What a string shows from outside; equal snapshots mean an operation changed nothing.
struct snapshot {
    std::string text;
    t_uint32 length;
    t_uint32 size;
    const char* buffer;
    bool operator==(const snapshot&) const = default;
};

template <typename S>
snapshot snap(const S& s) {
    return {s.text(), s.length(), s.size(), s.text()};
}

// Every string in the expected state outside open_buffer/close_buffer.
template <typename S>
void expect_invariant(const S& s) {
    EXPECT_EQ(std::strlen(s.text()), s.length());
    if (s.size() != 0) {
        EXPECT_LT(s.length(), s.size());
    }
    if constexpr (std::is_same_v<S, standard_string>) {
        if (s.size() != 0) {
            EXPECT_LE(s.size() - (s.length() + 1), 32u);
        }
    } else {
        EXPECT_LE(s.size(), s.capacity());
    }
}

template <typename S>
class string8_test : public ::testing::Test {};
using both_strategies = ::testing::Types<standard_string, fast_string>;
TYPED_TEST_SUITE(string8_test, both_strategies);

TYPED_TEST(string8_test, fresh_string_is_empty_text_without_buffer) {
    const TypeParam s;
    ASSERT_NE(s.text(), nullptr);
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.length(), 0u);
    EXPECT_EQ(s.size(), 0u);
}

TYPED_TEST(string8_test, length_limits_and_null_sources) {
    TypeParam s;
    s.assign("abc", 2);
    EXPECT_STREQ(s.text(), "ab");
    s.append("xyz", 0);
    s.append(nullptr, all);
    EXPECT_STREQ(s.text(), "ab");
    s.append("cdef", 2);
    EXPECT_STREQ(s.text(), "abcd");
    s.append("e\0f", all);  // stops at the NUL
    EXPECT_STREQ(s.text(), "abcde");
    EXPECT_EQ(s.length(), 5u);
    s.assign(nullptr, all);
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.length(), 0u);
    expect_invariant(s);

    // An empty text given to a string without a buffer needs none.
    TypeParam fresh;
    fresh.assign("", all);
    fresh.append("", all);
    EXPECT_EQ(fresh.size(), 0u);
}

TYPED_TEST(string8_test, truncate_at_or_beyond_length_changes_nothing) {
    TypeParam s("hello world");
    const snapshot before = snap(s);
    s.truncate(11);
    s.truncate(12);
    s.truncate(0xFFFFFFFFu);
    EXPECT_EQ(snap(s), before);
    s.truncate(5);
    EXPECT_STREQ(s.text(), "hello");
    expect_invariant(s);
}

TYPED_TEST(string8_test, appends_and_assigns_from_its_own_text) {
    TypeParam s("abc");
    s.append(s.text(), all);
    EXPECT_STREQ(s.text(), "abcabc");

    s.assign("abc", all);
    s.assign(s.text() + 1, all);
    EXPECT_STREQ(s.text(), "bc");

    s.assign("abcdef", all);
    s.append(s.text() + 1, 3);
    EXPECT_STREQ(s.text(), "abcdefbcd");

    s.assign("abcdef", all);
    s.assign(s.text() + 2, 2);
    EXPECT_STREQ(s.text(), "cd");
    expect_invariant(s);
}

// The source moves with the buffer when the append grows it; the sanitizer build reports a read of
// the freed block.
TYPED_TEST(string8_test, appends_itself_across_a_growth_step) {
    TypeParam s;
    std::string expected = "0123456789abcdefghij";  // 20 bytes: every doubling outgrows the buffer
    s.assign(expected.c_str(), all);
    for (int round = 0; round < 8; ++round) {
        const t_uint32 size_before = s.size();
        s.append(s.text(), all);
        expected += expected;
        ASSERT_EQ(std::string(s.text()), expected);
        EXPECT_GT(s.size(), size_before);
        expect_invariant(s);
    }
}

TYPED_TEST(string8_test, buffer_reads_back_what_the_caller_wrote) {
    TypeParam s("old text");
    char* buffer = s.open_buffer(5);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(s.length(), 8u);  // unchanged until the buffer is closed
    for (t_uint32 i = 0; i < s.size(); ++i) ASSERT_EQ(buffer[i], 0) << i;
    std::memcpy(buffer, "new", 3);
    s.close_buffer();
    EXPECT_STREQ(s.text(), "new");
    EXPECT_EQ(s.length(), 3u);
    expect_invariant(s);
}

TYPED_TEST(string8_test, closing_a_buffer_filled_to_its_end_keeps_every_byte) {
    TypeParam s;
    char* buffer = s.open_buffer(3);
    const t_uint32 size = s.size();
    std::memset(buffer, 'x', size);
    s.close_buffer();
    EXPECT_EQ(s.length(), size);
    EXPECT_EQ(std::string(s.text()), std::string(size, 'x'));
    expect_invariant(s);
}

// Once the caller has written into the buffer the old text is gone, so a close whose growth fails
// keeps what fits with its terminator instead of the stale length.
TYPED_TEST(string8_test, failed_growth_in_close_buffer_keeps_a_terminated_text) {
    heap_seam_reset reset;
    int failures = 0;
    for (unsigned long k = 1; k <= 3; ++k) {
        TypeParam s("hello");
        char* buffer = s.open_buffer(3);
        const t_uint32 size = s.size();
        std::memset(buffer, 'x', size);
        platform::standin::fail_heap_call(k);
        try {
            s.close_buffer();
            EXPECT_EQ(std::string(s.text()), std::string(size, 'x'));
        } catch (const std::bad_alloc&) {
            ++failures;
            EXPECT_EQ(s.size(), size);
            EXPECT_EQ(std::string(s.text()), std::string(size - 1, 'x')) << "failing heap call " << k;
        }
        platform::standin::fail_heap_call(0);
        expect_invariant(s);
    }
    EXPECT_GT(failures, 0);
}

TYPED_TEST(string8_test, copies_and_moves) {
    TypeParam a("first");
    TypeParam b(a);
    EXPECT_STREQ(b.text(), "first");
    EXPECT_NE(b.text(), a.text());
    b.append("!", all);
    EXPECT_STREQ(a.text(), "first");

    a = b;
    EXPECT_STREQ(a.text(), "first!");
    a = a;
    EXPECT_STREQ(a.text(), "first!");

    static_assert(std::is_nothrow_move_constructible_v<TypeParam>);
    static_assert(std::is_nothrow_move_assignable_v<TypeParam>);
    TypeParam moved(std::move(a));
    EXPECT_STREQ(moved.text(), "first!");
    EXPECT_EQ(a.length(), 0u);  // NOLINT(bugprone-use-after-move): a moved-from string is empty
    EXPECT_STREQ(a.text(), "");
    b = std::move(moved);
    EXPECT_STREQ(b.text(), "first!");

    const TypeParam from_null(nullptr);
    EXPECT_STREQ(from_null.text(), "");
}

// The slot order is what the host calls; a string filled through the interface behaves the same.
TYPED_TEST(string8_test, works_through_the_interface) {
    TypeParam s;
    vesk::string_base& base = s;
    base.assign("abc", all);
    base.append("def", 2);
    EXPECT_STREQ(base.text(), "abcde");
    EXPECT_EQ(base.length(), 5u);
    base.truncate(1);
    EXPECT_STREQ(s.text(), "a");
}

// Each operation in turn meets a heap that fails on its first, second, ... call; whenever it raises,
// the string must be exactly as before.
TYPED_TEST(string8_test, allocation_failure_leaves_the_string_unchanged) {
    heap_seam_reset reset;
    const std::string long_text(300, 'L');
    struct operation {
        const char* name;
        void (*run)(TypeParam&, const std::string&);
    };
    const operation operations[] = {
        {"append", [](TypeParam& s, const std::string& t) { s.append(t.c_str(), all); }},
        {"append itself", [](TypeParam& s, const std::string&) { s.append(s.text(), all); }},
        {"assign", [](TypeParam& s, const std::string& t) { s.assign(t.c_str(), all); }},
        {"assign own tail", [](TypeParam& s, const std::string&) { s.assign(s.text() + 1, all); }},
        {"open_buffer", [](TypeParam& s, const std::string&) { s.open_buffer(300); }},
        {"copy", [](TypeParam& s, const std::string&) { TypeParam copy(s); }},
    };
    for (const operation& op : operations) {
        int failures = 0;
        for (unsigned long k = 1; k <= 4; ++k) {
            TypeParam s;
            s.assign(std::string(60, 'x').c_str(), all);
            const snapshot before = snap(s);
            platform::standin::fail_heap_call(k);
            try {
                op.run(s, long_text);
            } catch (const std::bad_alloc& e) {
                ++failures;
                EXPECT_STREQ(e.what(), "bad allocation") << op.name;
                EXPECT_EQ(snap(s), before) << op.name << ", failing heap call " << k;
            }
            platform::standin::fail_heap_call(0);
        }
        EXPECT_GT(failures, 0) << op.name;
    }
}

TEST(standard_string, buffer_sizes_follow_the_text) {
    standard_string s;
    s.append("abc", all);
    EXPECT_EQ(s.size(), 20u);
    s.assign(std::string(60, 'a').c_str(), all);
    EXPECT_EQ(s.size(), 77u);
    s.truncate(10);
    EXPECT_EQ(s.size(), 11u);
    EXPECT_EQ(std::string(s.text()), std::string(10, 'a'));

    // Grows with 16 bytes of headroom, keeps up to 32 spare, gives the rest back.
    s.assign(std::string(20, 'b').c_str(), all);
    EXPECT_EQ(s.size(), 37u);
    s.assign(std::string(4, 'c').c_str(), all);
    EXPECT_EQ(s.size(), 37u);
    s.assign(std::string(3, 'd').c_str(), all);
    EXPECT_EQ(s.size(), 4u);
}

// Giving memory back is a reallocation too, and may fail like one.
TEST(standard_string, failed_shrink_keeps_the_text) {
    heap_seam_reset reset;
    standard_string s(std::string(60, 'x').c_str());
    const snapshot before = snap(s);
    platform::standin::fail_heap_call(1);
    EXPECT_THROW(s.truncate(0), std::bad_alloc);
    EXPECT_EQ(snap(s), before);
}

// The text written into the buffer counts even when giving the spare memory back fails.
TEST(standard_string, failed_shrink_in_close_buffer_keeps_the_written_text) {
    heap_seam_reset reset;
    standard_string s(std::string(60, 'o').c_str());
    std::memcpy(s.open_buffer(300), "ab", 2);
    const t_uint32 size = s.size();
    platform::standin::fail_heap_call(1);
    EXPECT_THROW(s.close_buffer(), std::bad_alloc);
    platform::standin::fail_heap_call(0);
    EXPECT_STREQ(s.text(), "ab");
    EXPECT_EQ(s.length(), 2u);
    EXPECT_EQ(s.size(), size);
    s.append("c", all);
    EXPECT_STREQ(s.text(), "abc");
    EXPECT_EQ(s.length(), 3u);
}

TEST(standard_string, open_buffer_of_zero_gives_seventeen_zero_bytes) {
    standard_string s;
    const char* buffer = s.open_buffer(0);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(s.size(), 17u);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(buffer[i], 0);
    s.close_buffer();
    EXPECT_EQ(s.length(), 0u);
    EXPECT_EQ(s.size(), 17u);
}

TEST(standard_string, buffer_that_would_pass_32_bits_raises) {
    standard_string s("abc");
    const snapshot before = snap(s);
    const unsigned long calls = platform::standin::heap_calls();
    EXPECT_THROW(s.open_buffer(0xFFFFFFFFu), std::bad_alloc);
    EXPECT_THROW(s.open_buffer(0xFFFFFFFFu - 16), std::bad_alloc);
    EXPECT_EQ(platform::standin::heap_calls(), calls);
    EXPECT_EQ(snap(s), before);
}

TEST(fast_string, capacity_doubles_and_never_shrinks) {
    fast_string s;
    s.append("abc", all);
    EXPECT_EQ(s.capacity(), 32u);
    EXPECT_EQ(s.size(), 20u);

    fast_string big;
    big.append(std::string(200, 'z').c_str(), all);
    EXPECT_EQ(big.capacity(), 256u);
    const unsigned long calls = platform::standin::heap_calls();
    big.truncate(0);
    EXPECT_EQ(platform::standin::heap_calls(), calls);
    EXPECT_EQ(big.capacity(), 256u);
    EXPECT_EQ(big.size(), 1u);
    EXPECT_STREQ(big.text(), "");

    big.assign("short", all);
    EXPECT_EQ(big.capacity(), 256u);
    EXPECT_STREQ(big.text(), "short");
}

// A capacity that would need 2^32 is refused before the heap is asked.
TEST(fast_string, capacity_that_would_pass_32_bits_raises) {
    fast_string s("abc");
    const snapshot before = snap(s);
    const unsigned long calls = platform::standin::heap_calls();
    EXPECT_THROW(s.open_buffer(0x80000000u), std::bad_alloc);
    EXPECT_EQ(platform::standin::heap_calls(), calls);
    EXPECT_EQ(snap(s), before);
    EXPECT_EQ(s.capacity(), 32u);
}

// The first growth asks for an in-place enlargement; when the heap refuses, the block moves.
TEST(fast_string, growth_falls_back_to_a_new_block) {
    heap_seam_reset reset;
    fast_string s("abc");
    platform::standin::fail_heap_call(1);  // the in-place enlargement
    s.append(std::string(40, 'q').c_str(), all);
    EXPECT_EQ(s.capacity(), 64u);
    EXPECT_EQ(std::string(s.text()), "abc" + std::string(40, 'q'));
}

TEST(simple_string, empty_reads_as_empty_text) {
    simple_string s;
    ASSERT_NE(s.text(), nullptr);
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.length(), 0u);
    EXPECT_TRUE(s.is_empty());
}

TEST(simple_string, set_keeps_k_bytes_and_frees_for_empty) {
    simple_string s;
    s.set("abcdef", 3);
    EXPECT_STREQ(s.text(), "abc");
    EXPECT_EQ(s.length(), 3u);
    s.set("longer text", all);
    EXPECT_STREQ(s.text(), "longer text");
    s.set("xy", all);
    EXPECT_STREQ(s.text(), "xy");

    for (const char* empty : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        s.set("something", all);
        s.set(empty, all);
        EXPECT_TRUE(s.is_empty());
        EXPECT_STREQ(s.text(), "");
    }
    s.set("something", all);
    s.set("something", 0);
    EXPECT_TRUE(s.is_empty());
}

TEST(simple_string, sets_from_its_own_text) {
    simple_string s("abcdef");
    s.set(s.text() + 1, all);
    EXPECT_STREQ(s.text(), "bcdef");
    s.set(s.text(), 2);
    EXPECT_STREQ(s.text(), "bc");
    s.set(s.text(), all);
    EXPECT_STREQ(s.text(), "bc");
    s.set(s.text() + 2, all);  // its own NUL: the empty text
    EXPECT_TRUE(s.is_empty());
}

TEST(simple_string, copies_and_moves) {
    static_assert(std::is_nothrow_move_constructible_v<simple_string>);
    static_assert(std::is_nothrow_move_assignable_v<simple_string>);
    simple_string a("value");
    simple_string b(a);
    EXPECT_STREQ(b.text(), "value");
    EXPECT_NE(b.text(), a.text());
    simple_string c(std::move(a));
    EXPECT_STREQ(c.text(), "value");
    EXPECT_TRUE(a.is_empty());  // NOLINT(bugprone-use-after-move)
    b = simple_string("other");
    EXPECT_STREQ(b.text(), "other");
    b = c;
    EXPECT_STREQ(b.text(), "value");
    b = b;
    EXPECT_STREQ(b.text(), "value");
}

TEST(simple_string, allocation_failure_keeps_the_old_text) {
    heap_seam_reset reset;
    struct step {
        const char* start;  // null: an empty string
        const char* source;
        t_uint32 offset;    // nonzero: set from the string's own text at this offset
    };
    const step steps[] = {
        {nullptr, "new text", 0},
        {"old", "a longer text", 0},
        {"old", "shorter", 0},  // realloc too, as the length differs
        {"own text", nullptr, 1},
    };
    for (const step& st : steps) {
        simple_string s;
        if (st.start) s.set(st.start, all);
        const std::string before = s.text();
        const char* const block_before = s.text();
        platform::standin::fail_heap_call(1);
        try {
            s.set(st.source ? st.source : s.text() + st.offset, all);
            ADD_FAILURE() << "no failure for " << (st.source ? st.source : "own text");
        } catch (const std::bad_alloc& e) {
            EXPECT_STREQ(e.what(), "bad allocation");
        }
        platform::standin::fail_heap_call(0);
        EXPECT_EQ(s.text(), before);
        EXPECT_EQ(s.text(), block_before);
    }
}

}  // namespace
