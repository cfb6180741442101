// The component's three masks: find answers in both directions, checked against a walk over get.

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/raw_table.h"
#include "trackinfo/index_masks.h"

namespace {

// What find must answer, derived from get alone.
t_uint32 walked_find(const index_mask& mask, bool value, t_uint32 start, t_int32 count) {
    const t_int64 step = count < 0 ? -1 : 1;
    for (t_int64 k = 0; k != count; k += step) {
        const t_uint32 index = static_cast<t_uint32>(start + k);
        if (mask.get(index) == value) return index;
    }
    return start + static_cast<t_uint32>(count);
}

void expect_find_agrees_with_get(const index_mask& mask, const char* label) {
    for (t_uint32 start = 0; start <= 12; ++start) {
        for (t_int32 count = -9; count <= 9; ++count) {
            if (count < 0 && static_cast<t_int64>(start) + count < -1) continue;  // would run below 0
            for (bool value : {false, true}) {
                EXPECT_EQ(mask.find(value, start, count), walked_find(mask, value, start, count))
                    << label << " value " << value << " start " << start << " count " << count;
            }
        }
    }
}

TEST(index_masks, get_selects_what_each_mask_promises) {
    const index_mask_all all;
    const index_mask_one one(5);
    const index_mask_inverted not_one(one);
    const index_mask_inverted none(all);
    for (t_uint32 i : {0u, 4u, 5u, 6u, 0xFFFFFFFEu}) {
        EXPECT_TRUE(all.get(i));
        EXPECT_EQ(one.get(i), i == 5);
        EXPECT_EQ(not_one.get(i), i != 5);
        EXPECT_FALSE(none.get(i));
    }
}

TEST(index_masks, find_agrees_with_get_forwards_and_backwards) {
    const index_mask_all all;
    const index_mask_one one(5);
    const index_mask_one first(0);
    const index_mask_inverted not_one(one);
    const index_mask_inverted none(all);
    expect_find_agrees_with_get(all, "all");
    expect_find_agrees_with_get(one, "one(5)");
    expect_find_agrees_with_get(first, "one(0)");
    expect_find_agrees_with_get(not_one, "inverted(one(5))");
    expect_find_agrees_with_get(none, "inverted(all)");
}

TEST(index_masks, find_answers_the_documented_values) {
    const index_mask_all all;
    EXPECT_EQ(all.find(true, 3, 7), 3u);
    EXPECT_EQ(all.find(false, 3, 7), 10u);
    EXPECT_EQ(all.find(false, 3, -2), 1u);
    const index_mask_one one(5);
    EXPECT_EQ(one.find(true, 0, 10), 5u);
    EXPECT_EQ(one.find(true, 6, 10), 16u);
    EXPECT_EQ(one.find(true, 9, -5), 5u);
    EXPECT_EQ(one.find(false, 5, 3), 6u);
    EXPECT_EQ(one.find(false, 5, -3), 4u);
    EXPECT_EQ(one.find(false, 5, 1), 6u);
    // An empty run answers its start.
    EXPECT_EQ(one.find(true, 5, 0), 5u);
}

TEST(index_masks, slots_are_get_then_find) {
    const index_mask_one one(2);
    const index_mask_inverted not_one(one);
    EXPECT_TRUE(raw_table::call<bool>(&one, 0, t_uint32{2}));
    EXPECT_FALSE(raw_table::call<bool>(&not_one, 0, t_uint32{2}));
    EXPECT_EQ(raw_table::call<t_uint32>(&one, 1, true, t_uint32{0}, t_int32{4}), 2u);
    EXPECT_EQ(raw_table::call<t_uint32>(&not_one, 1, false, t_uint32{0}, t_int32{4}), 2u);
}

}  // namespace
