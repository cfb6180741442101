// Memory running out inside a track information record, made to happen at every heap call in turn,
// and what the record allocates at all.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <numeric>
#include <string>
#include <vector>

#include "track_info_probe.h"
#include "trackinfo/index_masks.h"
#include "trackinfo/track_info_impl.h"

namespace {

using namespace track_info_probe;
using platform::standin::fail_heap_call;
using platform::standin::heap_calls;

using step = std::function<void(track_info_impl&)>;

void add_fields(track_info& record, t_uint32 n, t_uint32 values_each = 1) {
    for (t_uint32 i = 0; i < n; ++i) {
        const std::string name = "field " + std::to_string(i);
        record.append_field(name.c_str(), all, "value 0", all);
        for (t_uint32 j = 1; j < values_each; ++j) {
            record.insert_field_value(i, j, ("value " + std::to_string(j)).c_str(), all);
        }
    }
}

void add_infos(track_info& record, t_uint32 n) {
    for (t_uint32 i = 0; i < n; ++i) {
        const std::string name = "info " + std::to_string(i);
        record.append_info(name.c_str(), all, ("value of " + name).c_str(), all);
    }
}

// Fails the k-th heap call of the operation, for every heap call an undisturbed run makes: a
// failure must raise std::bad_alloc and leave the record as it was, or be absorbed (a refused
// in-place growth falls back to a new block) and give what the undisturbed run gives. The
// sanitizer build checks that nothing leaked.
void expect_all_or_nothing(const step& setup, const step& operation) {
    heap_seam_reset reset;
    track_info_impl reference;
    setup(reference);
    const unsigned long before_reference = heap_calls();
    operation(reference);
    const unsigned long calls = heap_calls() - before_reference;
    const snapshot wanted = take(reference);

    int failures = 0;
    for (unsigned long k = 1; k <= calls; ++k) {
        track_info_impl record;
        setup(record);
        const snapshot before = take(record);
        fail_heap_call(k);
        try {
            operation(record);
            fail_heap_call(0);
            EXPECT_EQ(take(record), wanted) << "failing heap call " << k << " was absorbed";
        } catch (const std::bad_alloc&) {
            fail_heap_call(0);
            ++failures;
            EXPECT_EQ(take(record), before) << "failing heap call " << k;
        }
    }
    EXPECT_GT(failures, 0) << "the operation never allocated";
}

TEST(track_info_failures, append_field_changes_nothing_when_memory_runs_out) {
    // 12 fields: the overflow must grow from 2 to 4.
    expect_all_or_nothing([](track_info_impl& r) { add_fields(r, 12); },
                          [](track_info_impl& r) { r.append_field("NEW", all, "new value", all); });
}

TEST(track_info_failures, append_info_changes_nothing_when_memory_runs_out) {
    // 4 entries: the array must grow from 4 to 8.
    expect_all_or_nothing([](track_info_impl& r) { add_infos(r, 4); },
                          [](track_info_impl& r) { r.append_info("new", all, "entry", all); });
}

TEST(track_info_failures, insert_field_value_changes_nothing_when_memory_runs_out) {
    // Two values: the value overflow must grow from 1 to 2.
    expect_all_or_nothing([](track_info_impl& r) { add_fields(r, 11, 2); },
                          [](track_info_impl& r) { r.insert_field_value(10, 0, "new first", all); });
}

TEST(track_info_failures, replace_field_value_keeps_the_old_value_when_memory_runs_out) {
    expect_all_or_nothing([](track_info_impl& r) { add_fields(r, 2, 3); },
                          [](track_info_impl& r) { r.replace_field_value(1, 2, "a much longer value", all); });
}

TEST(track_info_failures, partial_copies_change_nothing_when_memory_runs_out) {
    track_info_impl source;
    add_fields(source, 13, 3);
    add_infos(source, 6);
    expect_all_or_nothing(
        [](track_info_impl& r) {
            add_fields(r, 3, 2);
            add_infos(r, 2);
        },
        [&](track_info_impl& r) { r.copy_fields_from(source); });
    expect_all_or_nothing(
        [](track_info_impl& r) {
            add_fields(r, 3, 2);
            add_infos(r, 2);
        },
        [&](track_info_impl& r) { r.copy_infos_from(source); });
}

TEST(track_info_failures, reorder_fields_changes_nothing_when_its_marks_cannot_be_had) {
    constexpr t_uint32 n = track_info_impl::in_place_reorder_limit + 100;
    std::vector<t_uint32> order(n);
    std::iota(order.rbegin(), order.rend(), 0u);
    expect_all_or_nothing([](track_info_impl& r) { add_fields(r, n); },
                          [&](track_info_impl& r) { r.reorder_fields(order.data()); });
}

TEST(track_info_failures, a_failed_copy_construction_leaks_nothing) {
    heap_seam_reset reset;
    track_info_impl source;
    add_fields(source, 12, 2);
    add_infos(source, 5);
    const snapshot original = take(source);
    const unsigned long before = heap_calls();
    { track_info_impl undisturbed(source); }
    const unsigned long calls = heap_calls() - before;
    int failures = 0;
    for (unsigned long k = 1; k <= calls; ++k) {
        fail_heap_call(k);
        try {
            track_info_impl copy(source);
            fail_heap_call(0);
            EXPECT_EQ(take(copy), original) << "failing heap call " << k << " was absorbed";
        } catch (const std::bad_alloc&) {
            ++failures;
        }
        fail_heap_call(0);
        EXPECT_EQ(take(source), original);
    }
    EXPECT_GT(failures, 20);
}

// The replaced field is already gone when the new one cannot be made.
TEST(track_info_failures, set_field_failing_in_its_append_has_removed_the_old_field) {
    heap_seam_reset reset;
    track_info_impl record;
    record.append_field("ARTIST", all, "a", all);
    record.append_field("TITLE", all, "t", all);
    record.append_info("codec", all, "FLAC", all);
    record.append_info("channels", all, "2", all);

    fail_heap_call(1);
    EXPECT_THROW(record.set_field("artist", all, "new", all), std::bad_alloc);
    fail_heap_call(1);
    EXPECT_THROW(record.set_info("CODEC", all, "MP3", all), std::bad_alloc);
    fail_heap_call(0);
    EXPECT_EQ(names(record), (std::vector<std::string>{"TITLE"}));
    EXPECT_EQ(info_names(record), (std::vector<std::string>{"channels"}));
}

// A heap that refuses to give back part of a block fails a removal: every text stays readable and
// every kept entry stays in order in front; the sanitizer build checks no block is freed twice.
TEST(track_info_failures, a_refused_shrink_during_removal_leaves_a_readable_record) {
    heap_seam_reset reset;
    track_info_impl record;
    add_fields(record, 27);  // 17 in the overflow: capacity 32
    add_infos(record, 17);   // capacity 32
    std::vector<bool> selection(27, false);
    for (int i = 18; i < 27; ++i) selection[static_cast<std::size_t>(i)] = true;
    record.remove_fields(flag_mask(selection));
    record.remove_infos(flag_mask(std::vector<bool>(selection.begin() + 10, selection.end())));
    ASSERT_EQ(record.field_count(), 18u);  // 8 in the overflow, still capacity 32
    ASSERT_EQ(record.info_count(), 8u);    // still capacity 32

    // Dropping two halves the capacity twice: the block must shrink in place.
    fail_heap_call(1);
    EXPECT_THROW(record.remove_fields(flag_mask({false, true, false, false, false, false, false, false, false,
                                                 false, false, true})),
                 std::bad_alloc);
    fail_heap_call(1);
    EXPECT_THROW(record.remove_infos(flag_mask({false, true, false, false, false, false, false, true})),
                 std::bad_alloc);
    fail_heap_call(0);

    const std::vector<std::string> field_names = names(record);
    ASSERT_GE(field_names.size(), 16u);
    std::vector<std::string> kept_fields;
    for (int i = 0; i < 18; ++i) {
        if (i != 1 && i != 11) kept_fields.push_back("field " + std::to_string(i));
    }
    EXPECT_EQ(std::vector<std::string>(field_names.begin(), field_names.begin() + 16), kept_fields);

    const std::vector<std::string> entry_names = info_names(record);
    ASSERT_GE(entry_names.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(entry_names.begin(), entry_names.begin() + 6),
              (std::vector<std::string>{"info 0", "info 2", "info 3", "info 4", "info 5", "info 6"}));
    for (t_uint32 i = 6; i < record.info_count(); ++i) {
        EXPECT_STREQ(record.info_name(i), "");
        EXPECT_STREQ(record.info_value(i), "");
    }

    // The record still works.
    record.remove_infos(index_mask_all());
    EXPECT_EQ(record.append_info("after", all, "all", all), 0u);
}

// Each info entry is one block, name NUL value NUL.
TEST(track_info_allocations, an_info_entry_takes_one_allocation) {
    track_info_impl record;
    add_infos(record, 3);  // capacity 4: the next entry needs no growth
    unsigned long before = heap_calls();
    EXPECT_EQ(record.append_info("bitrate", all, "320", all), 3u);
    EXPECT_EQ(heap_calls() - before, 1u);
    EXPECT_EQ(record.info_value(3), record.info_name(3) + std::strlen("bitrate") + 1);

    before = heap_calls();
    EXPECT_EQ(record.set_info("info 1", all, "replaced", all), 3u);
    EXPECT_EQ(heap_calls() - before, 1u);

    // Five entries and the array that holds them.
    track_info_impl copy;
    track_info_impl source;
    add_infos(source, 5);
    before = heap_calls();
    copy.copy_infos_from(source);
    EXPECT_EQ(heap_calls() - before, 6u);
}

// Ten fields and the first value of each live in place: only the texts are allocated.
TEST(track_info_allocations, the_first_ten_fields_need_only_their_texts) {
    track_info_impl record;
    for (t_uint32 i = 0; i < 10; ++i) {
        const unsigned long before = heap_calls();
        record.append_field("NAME", all, "value", all);
        EXPECT_EQ(heap_calls() - before, 2u) << "field " << i;
    }
    const unsigned long before = heap_calls();
    record.append_field("NAME", all, "value", all);
    EXPECT_GT(heap_calls() - before, 2u);
}

}  // namespace
