// The component's track information record: string storage, look-ups, replacement by name,
// removal by masks, reordering, value insertion and field_text.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "track_info_probe.h"
#include "trackinfo/field_text.h"
#include "trackinfo/index_masks.h"
#include "trackinfo/track_info_impl.h"
#include "vesk/string8.h"

namespace {

using namespace track_info_probe;
using platform::standin::heap_calls;

// An empty name or value is kept as none, so it costs no allocation at all.
TEST(track_info_impl, empty_field_texts_take_no_memory) {
    track_info_impl record;
    const unsigned long before = heap_calls();
    record.append_field("", all, "", all);
    record.set_field("", all, nullptr, 0);
    EXPECT_EQ(heap_calls(), before);
    ASSERT_EQ(record.field_count(), 1u);
    EXPECT_STREQ(record.field_name(0), "");
    EXPECT_STREQ(record.field_value(0, 0), "");
}

// A host may re-set an entry from what it read of that very entry: the texts it passes would be
// freed by the removal before the new entry reads them.
TEST(track_info_impl, set_field_and_set_info_accept_the_replaced_entrys_own_texts) {
    track_info_impl record;
    record.append_field("ARTIST", all, "first artist", all);
    record.insert_field_value(0, 1, "second artist", all);
    record.append_field("TITLE", all, "t", all);
    record.append_info("codec", all, "FLAC", all);
    record.append_info("channels", all, "2", all);

    EXPECT_EQ(record.set_field(record.field_name(0), all, record.field_value(0, 1) + 7, 6), 1u);
    EXPECT_EQ(names(record), (std::vector<std::string>{"TITLE", "ARTIST"}));
    EXPECT_EQ(values(record, 1), (std::vector<std::string>{"artist"}));
    EXPECT_EQ(record.set_field(record.field_value(1, 0), all, record.field_name(1) + 2, 3), 1u);
    EXPECT_EQ(names(record), (std::vector<std::string>{"TITLE", "artist"}));
    EXPECT_EQ(values(record, 1), (std::vector<std::string>{"TIS"}));

    EXPECT_EQ(record.set_info(record.info_name(0), all, record.info_value(0), all), 1u);
    EXPECT_EQ(info_names(record), (std::vector<std::string>{"channels", "codec"}));
    EXPECT_STREQ(record.info_value(1), "FLAC");
    EXPECT_EQ(record.set_info("CODEC", all, record.info_name(1) + 2, all), 1u);
    EXPECT_STREQ(record.info_name(1), "CODEC");
    EXPECT_STREQ(record.info_value(1), "dec");

    // A copy that cannot be made leaves the entry where it was.
    heap_seam_reset reset;
    const snapshot before = take(record);
    platform::standin::fail_heap_call(1);
    EXPECT_THROW(record.set_field(record.field_name(1), all, "x", all), std::bad_alloc);
    EXPECT_EQ(take(record), before);
}

// The operations that the table's others build on are reached through the table, so a record
// that overrides one sees every use of it.
class call_log_record final : public track_info_impl {
public:
    mutable std::vector<std::string> log;

    t_uint32 field_count() const override { return note("field_count", track_info_impl::field_count()); }
    const char* field_name(t_uint32 i) const override {
        log.push_back("field_name " + std::to_string(i));
        return track_info_impl::field_name(i);
    }
    t_uint32 find_field(const char* name, t_uint32 length) const override {
        return note("find_field", track_info_impl::find_field(name, length));
    }
    void remove_fields(const index_mask& mask) override {
        log.push_back("remove_fields" + selection(mask, track_info_impl::field_count()));
        track_info_impl::remove_fields(mask);
    }
    t_uint32 append_field(const char* n, t_uint32 nl, const char* v, t_uint32 vl) override {
        return note("append_field", track_info_impl::append_field(n, nl, v, vl));
    }
    t_uint32 info_count() const override { return note("info_count", track_info_impl::info_count()); }
    const char* info_name(t_uint32 i) const override {
        log.push_back("info_name " + std::to_string(i));
        return track_info_impl::info_name(i);
    }
    t_uint32 find_info(const char* name, t_uint32 length) const override {
        return note("find_info", track_info_impl::find_info(name, length));
    }
    void remove_infos(const index_mask& mask) override {
        log.push_back("remove_infos" + selection(mask, track_info_impl::info_count()));
        track_info_impl::remove_infos(mask);
    }
    t_uint32 append_info(const char* n, t_uint32 nl, const char* v, t_uint32 vl) override {
        return note("append_info", track_info_impl::append_info(n, nl, v, vl));
    }
    void copy_fields_from(const track_info& source) override {
        log.push_back("copy_fields_from");
        track_info_impl::copy_fields_from(source);
    }
    void copy_infos_from(const track_info& source) override {
        log.push_back("copy_infos_from");
        track_info_impl::copy_infos_from(source);
    }
    void set_length(double seconds) override {
        log.push_back("set_length");
        track_info_impl::set_length(seconds);
    }
    void set_replaygain(const replaygain_values& values) override {
        log.push_back("set_replaygain");
        track_info_impl::set_replaygain(values);
    }

private:
    t_uint32 note(const char* what, t_uint32 result) const {
        log.push_back(std::string(what) + " -> " + std::to_string(result));
        return result;
    }
    // The indices below n that the mask selects, found as the removals find them.
    static std::string selection(const index_mask& mask, t_uint32 n) {
        std::string out;
        for (t_uint32 i = mask.find(true, 0, static_cast<t_int32>(n)); i < n;
             i = mask.find(true, i + 1, static_cast<t_int32>(n - i - 1))) {
            out += " " + std::to_string(i);
        }
        return out;
    }
};

TEST(track_info_impl, replacing_and_copying_go_through_the_table) {
    call_log_record record;
    record.append_field("ARTIST", all, "a", all);
    record.append_field("TITLE", all, "t", all);
    record.append_field("DATE", all, "d", all);
    record.append_info("codec", all, "FLAC", all);
    record.append_info("channels", all, "2", all);
    record.insert_field_value(1, 1, "t2", all);

    record.log.clear();
    EXPECT_EQ(record.set_field("title", all, "new", all), 2u);
    EXPECT_EQ(record.log, (std::vector<std::string>{"field_count -> 3", "field_name 0", "field_name 1",
                                                    "find_field -> 1", "remove_fields 1", "append_field -> 2"}));
    record.log.clear();
    EXPECT_EQ(record.set_field("ALBUM", all, "x", all), 3u);
    EXPECT_EQ(record.log, (std::vector<std::string>{"field_count -> 3", "field_name 0", "field_name 1",
                                                    "field_name 2", "find_field -> 4294967295",
                                                    "append_field -> 3"}));
    record.log.clear();
    EXPECT_EQ(record.set_info("CHANNELS", all, "6", all), 1u);
    EXPECT_EQ(record.log, (std::vector<std::string>{"info_count -> 2", "info_name 0", "info_name 1",
                                                    "find_info -> 1", "remove_infos 1", "append_info -> 1"}));

    // An emptied field goes with a one-index removal of its own.
    record.log.clear();
    record.remove_field_values(0, index_mask_all());
    EXPECT_EQ(record.log, (std::vector<std::string>{"remove_fields 0"}));

    track_info_impl source;
    source.append_field("X", all, "y", all);
    record.log.clear();
    record.copy_from(source);
    EXPECT_EQ(record.log,
              (std::vector<std::string>{"copy_fields_from", "copy_infos_from", "set_length", "set_replaygain"}));
    record.log.clear();
    record.copy_from(record);
    EXPECT_TRUE(record.log.empty());
}

// The eleventh field lives in the overflow array and behaves exactly like the first ten.
TEST(track_info_impl, fields_past_the_tenth_behave_like_the_first_ten) {
    track_info_impl record;
    add_numbered_fields(record, 12);
    EXPECT_STREQ(record.field_name(10), "f10");
    EXPECT_STREQ(record.field_value(10, 0), "v10");
    EXPECT_EQ(record.find_field("F10", all), 10u);
    record.insert_field_value(10, 0, "w10", all);
    EXPECT_EQ(values(record, 10), (std::vector<std::string>{"w10", "v10"}));

    const t_uint32 order[12] = {10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11};
    record.reorder_fields(order);
    EXPECT_EQ(names(record), numbered({10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11}));
    EXPECT_EQ(values(record, 0), (std::vector<std::string>{"w10", "v10"}));

    record.remove_fields(index_mask_one(0));
    EXPECT_EQ(names(record), numbered({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11}));
    EXPECT_EQ(record.set_field("f1", all, "x", all), 10u);
    EXPECT_EQ(names(record), numbered({2, 3, 4, 5, 6, 7, 8, 9, 0, 11, 1}));
    record.remove_fields(index_mask_one(10));
    EXPECT_EQ(names(record), numbered({2, 3, 4, 5, 6, 7, 8, 9, 0, 11}));
}

// Past 8192 positions the visited marks continue in a heap bit set.
TEST(track_info_impl, reorder_fields_applies_a_large_random_permutation) {
    constexpr t_uint32 n = 20000;
    track_info_impl record;
    add_numbered_fields(record, n);
    std::vector<t_uint32> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::mt19937 random(8192);
    std::shuffle(order.begin(), order.end(), random);
    // A long cycle that crosses the boundary in both directions, whatever the shuffle gave.
    std::swap(order[5], order[n - 5]);

    record.reorder_fields(order.data());
    ASSERT_EQ(record.field_count(), n);
    t_uint32 wrong = 0;
    for (t_uint32 k = 0; k < n; ++k) {
        const std::string expected = std::to_string(order[k]);
        if (record.field_name(k) != "f" + expected || record.field_value(k, 0) != "v" + expected) ++wrong;
    }
    EXPECT_EQ(wrong, 0u);
}

// The first 8192 positions keep their visited marks in place; only a longer permutation asks the
// heap, once, for the rest.
TEST(track_info_impl, reorder_fields_asks_the_heap_only_past_8192_fields) {
    for (t_uint32 n : {track_info_impl::in_place_reorder_limit, track_info_impl::in_place_reorder_limit + 1}) {
        track_info_impl record;
        add_numbered_fields(record, n);
        std::vector<t_uint32> order(n);
        std::iota(order.rbegin(), order.rend(), 0u);
        const unsigned long before = heap_calls();
        record.reorder_fields(order.data());
        EXPECT_EQ(heap_calls() - before, n > track_info_impl::in_place_reorder_limit ? 1u : 0u) << n;
        EXPECT_STREQ(record.field_name(0), ("f" + std::to_string(n - 1)).c_str());
        EXPECT_STREQ(record.field_name(n - 1), "f0");
    }
}

TEST(field_text, joins_the_values_of_the_first_matching_field) {
    track_info_impl record;
    record.append_field("GENRE", all, "Rock", all);
    record.insert_field_value(0, 1, "Pop", all);
    record.insert_field_value(0, 2, "", all);
    record.append_field("TITLE", all, "Intro", all);
    vesk::string8_t<vesk::alloc_standard> out("left over");

    EXPECT_TRUE(field_text(record, "genre", out));
    EXPECT_STREQ(out.text(), "Rock, Pop, ");
    EXPECT_TRUE(field_text(record, "Title", out));
    EXPECT_STREQ(out.text(), "Intro");
    EXPECT_FALSE(field_text(record, "album", out));
    EXPECT_STREQ(out.text(), "");
}

TEST(field_text, a_field_without_values_reads_as_missing) {
    field no_values{"ALBUM", {}};
    const read_only_record source(snapshot{{no_values}, {}, 0, {0, 0, 0, 0}});
    track_info_impl record;
    record.copy_fields_from(source);
    ASSERT_EQ(record.field_count(), 1u);
    EXPECT_EQ(record.field_value_count(0), 0u);
    vesk::string8_t<vesk::alloc_standard> out("left over");
    EXPECT_FALSE(field_text(record, "ALBUM", out));
    EXPECT_EQ(out.length(), 0u);
}

}  // namespace
