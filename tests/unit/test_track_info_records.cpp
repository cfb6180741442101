// Behaviour both track information records share, the component's and the host's: every case
// runs on each, through the track_info operations alone.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_track_info.h"
#include "trackinfo/index_masks.h"
#include "trackinfo/track_info_impl.h"
#include "track_info_probe.h"

namespace {

using namespace track_info_probe;

template <class Record>
class track_info_records : public testing::Test {};
using record_types = testing::Types<track_info_impl, host::host_track_info>;
TYPED_TEST_SUITE(track_info_records, record_types);

// Selections over 12 entries, so that runs cross from the in-place fields into the overflow.
struct mask_case {
    const char* label;
    std::vector<bool> selected;
};

std::vector<mask_case> mask_cases() {
    auto pick = [](std::initializer_list<int> indices) {
        std::vector<bool> s(12, false);
        for (int i : indices) s[static_cast<std::size_t>(i)] = true;
        return s;
    };
    return {
        {"none", pick({})},
        {"all", std::vector<bool>(12, true)},
        {"first", pick({0})},
        {"last", pick({11})},
        {"eleventh", pick({10})},
        {"every other", pick({0, 2, 4, 6, 8, 10})},
        {"a run across the overflow", pick({8, 9, 10})},
        {"all but the eleventh", pick({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11})},
        {"scattered", pick({1, 5, 6, 11})},
    };
}

std::vector<std::string> kept(const std::vector<bool>& selected, const std::string& prefix) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (!selected[i]) out.push_back(prefix + std::to_string(i));
    }
    return out;
}

std::vector<std::string> info_pairs(const track_info& info) {
    std::vector<std::string> pairs;
    for (t_uint32 i = 0; i < info.info_count(); ++i)
        pairs.push_back(std::string(info.info_name(i)) + "=" + info.info_value(i));
    return pairs;
}

// Each name with the value "<name> value".
void append_named_fields(track_info& info, const std::vector<std::string>& names) {
    for (const auto& name : names) info.append_field(name.c_str(), all, (name + " value").c_str(), all);
}

// A record of another make that only answers the reading operations a copy may use, one of its
// fields reporting no values at all.
class reading_only_source final : public track_info {
public:
    double get_length() const override { return 183.25; }
    void set_length(double) override { unexpected(); }
    void set_replaygain(const replaygain_values&) override { unexpected(); }
    replaygain_values* get_replaygain(replaygain_values* out) const override {
        *out = {-6.5f, -7.25f, 0.98f, 1.0f};
        return out;
    }
    t_uint32 field_count() const override { return 2; }
    const char* field_name(t_uint32 field) const override { return field == 0 ? "ARTIST" : "comment"; }
    t_uint32 field_value_count(t_uint32 field) const override { return field == 0 ? 2 : 0; }
    const char* field_value(t_uint32, t_uint32 value) const override { return value == 0 ? "A" : "B"; }
    t_uint32 find_field(const char*, t_uint32) const override { return unexpected(), 0; }
    t_uint32 set_field(const char*, t_uint32, const char*, t_uint32) override { return unexpected(), 0; }
    void insert_field_value(t_uint32, t_uint32, const char*, t_uint32) override { unexpected(); }
    void remove_fields(const index_mask&) override { unexpected(); }
    void reorder_fields(const t_uint32*) override { unexpected(); }
    void remove_field_values(t_uint32, const index_mask&) override { unexpected(); }
    void replace_field_value(t_uint32, t_uint32, const char*, t_uint32) override { unexpected(); }
    t_uint32 info_count() const override { return 1; }
    const char* info_name(t_uint32) const override { return "codec"; }
    const char* info_value(t_uint32) const override { return "FLAC"; }
    t_uint32 set_info(const char*, t_uint32, const char*, t_uint32) override { return unexpected(), 0; }
    void remove_infos(const index_mask&) override { unexpected(); }
    t_uint32 find_info(const char*, t_uint32) const override { return unexpected(), 0; }
    void copy_from(const track_info&) override { unexpected(); }
    void copy_fields_from(const track_info&) override { unexpected(); }
    void copy_infos_from(const track_info&) override { unexpected(); }
    t_uint32 append_field(const char*, t_uint32, const char*, t_uint32) override { return unexpected(), 0; }
    t_uint32 append_info(const char*, t_uint32, const char*, t_uint32) override { return unexpected(), 0; }

private:
    static void unexpected() { ADD_FAILURE() << "a copy used an operation other than the reading ones"; }
};

TYPED_TEST(track_info_records, new_record_is_empty_with_replaygain_not_set) {
    TypeParam record;
    EXPECT_EQ(record.field_count(), 0u);
    EXPECT_EQ(record.info_count(), 0u);
    EXPECT_EQ(record.get_length(), 0.0);
    const replaygain_values rg = record.replaygain();
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.album_gain), 0xC47A0000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.track_gain), 0xC47A0000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.album_peak), 0xBF800000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.track_peak), 0xBF800000u);
}

TYPED_TEST(track_info_records, length_and_replaygain_are_stored_as_given) {
    TypeParam record;
    record.set_length(245.5);
    const replaygain_values given{-7.25f, -6.5f, 1.0f, 0.98f};
    record.set_replaygain(given);
    EXPECT_EQ(record.get_length(), 245.5);
    replaygain_values out;
    EXPECT_EQ(record.get_replaygain(&out), &out);
    EXPECT_EQ(std::memcmp(&out, &given, sizeof out), 0);
}

// Every text goes through the same rule: cut at the length or the first NUL, empty reads "".
TYPED_TEST(track_info_records, texts_stop_at_the_length_or_the_first_nul) {
    struct text_case {
        const char* text;
        t_uint32 length;
        const char* stored;
    };
    const text_case cases[] = {
        {"Artist", all, "Artist"},   {"Artist", 3, "Art"}, {"Artist", 0, ""},    {"Art\0ist", all, "Art"},
        {"Art\0ist", 6, "Art"},      {"", all, ""},        {nullptr, all, ""},   {"Artist", 100, "Artist"},
        {"\xC3\x89t\xC3\xA9", all, "\xC3\x89t\xC3\xA9"},
    };
    for (const text_case& c : cases) {
        SCOPED_TRACE(std::string("text '") + (c.text ? c.text : "(null)") + "' length " + std::to_string(c.length));
        TypeParam record;
        record.append_field(c.text, c.length, c.text, c.length);
        record.append_info(c.text, c.length, c.text, c.length);
        record.insert_field_value(0, 1, c.text, c.length);
        ASSERT_EQ(record.field_value_count(0), 2u);
        EXPECT_STREQ(record.field_name(0), c.stored);
        EXPECT_STREQ(record.field_value(0, 0), c.stored);
        EXPECT_STREQ(record.field_value(0, 1), c.stored);
        EXPECT_STREQ(record.info_name(0), c.stored);
        EXPECT_STREQ(record.info_value(0), c.stored);
        record.replace_field_value(0, 0, "x", all);
        record.replace_field_value(0, 0, c.text, c.length);
        EXPECT_STREQ(record.field_value(0, 0), c.stored);
    }
}

TYPED_TEST(track_info_records, find_ignores_case_as_the_host_defines_it) {
    TypeParam record;
    EXPECT_EQ(record.find_field("title", all), vesk::index_not_found);
    EXPECT_EQ(record.find_info("title", all), vesk::index_not_found);
    record.append_field("ARTIST", all, "a", all);
    record.append_field("TITLE", all, "t", all);
    record.append_field("\xC3\x89T\xC3\x89", all, "e", all);  // ÉTÉ
    record.append_field("title", all, "second", all);
    record.append_info("Bitrate", all, "320", all);
    record.append_info("CODEC", all, "FLAC", all);

    EXPECT_EQ(record.find_field("title", all), 1u);  // the lowest index wins
    EXPECT_EQ(record.find_field("Title", 5), 1u);
    EXPECT_EQ(record.find_field("titlex", 5), 1u);
    EXPECT_EQ(record.find_field("tit", all), vesk::index_not_found);
    EXPECT_EQ(record.find_field("\xC3\xA9t\xC3\xA9", all), 2u);  // été
    EXPECT_EQ(record.find_field("album", all), vesk::index_not_found);
    EXPECT_EQ(record.find_info("codec", all), 1u);
    EXPECT_EQ(record.find_info("BITRATE", all), 0u);
    EXPECT_EQ(record.find_info("bit", all), vesk::index_not_found);
}

TYPED_TEST(track_info_records, set_field_moves_the_replaced_field_to_the_end) {
    TypeParam record;
    record.append_field("ARTIST", all, "a", all);
    record.append_field("TITLE", all, "t", all);
    record.insert_field_value(1, 1, "t2", all);
    record.append_field("DATE", all, "d", all);

    EXPECT_EQ(record.set_field("artist", all, "new", all), 2u);
    EXPECT_EQ(names(record), (std::vector<std::string>{"TITLE", "DATE", "artist"}));
    EXPECT_EQ(values(record, 2), (std::vector<std::string>{"new"}));
    EXPECT_EQ(values(record, 0), (std::vector<std::string>{"t", "t2"}));

    // A new name just appends; an empty value gives one value reading "".
    EXPECT_EQ(record.set_field("ALBUM", all, "", all), 3u);
    EXPECT_EQ(values(record, 3), (std::vector<std::string>{""}));
}

TYPED_TEST(track_info_records, set_field_replaces_only_the_first_of_duplicates) {
    TypeParam record;
    EXPECT_EQ(record.append_field("GENRE", all, "Rock", all), 0u);
    EXPECT_EQ(record.append_field("genre", all, "Pop", all), 1u);
    EXPECT_EQ(record.field_count(), 2u);
    EXPECT_EQ(record.find_field("Genre", all), 0u);
    EXPECT_EQ(record.set_field("GENRE", all, "Jazz", all), 1u);
    EXPECT_EQ(names(record), (std::vector<std::string>{"genre", "GENRE"}));
    EXPECT_STREQ(record.field_value(0, 0), "Pop");
    EXPECT_STREQ(record.field_value(1, 0), "Jazz");
}

TYPED_TEST(track_info_records, set_info_moves_the_replaced_entry_to_the_end) {
    TypeParam record;
    EXPECT_EQ(record.append_info("samplerate", all, "44100", all), 0u);
    EXPECT_EQ(record.append_info("channels", all, "2", all), 1u);
    EXPECT_EQ(record.append_info("CHANNELS", all, "dup", all), 2u);
    EXPECT_EQ(record.set_info("Samplerate", all, "48000", all), 2u);
    EXPECT_EQ(info_names(record), (std::vector<std::string>{"channels", "CHANNELS", "Samplerate"}));
    EXPECT_STREQ(record.info_value(2), "48000");
    EXPECT_EQ(record.set_info("channels", 8, "6", 1), 2u);
    EXPECT_EQ(info_names(record), (std::vector<std::string>{"CHANNELS", "Samplerate", "channels"}));
    EXPECT_STREQ(record.info_value(0), "dup");
    EXPECT_STREQ(record.info_value(2), "6");
}

TYPED_TEST(track_info_records, removal_by_mask_keeps_the_order_of_the_rest) {
    for (const mask_case& c : mask_cases()) {
        SCOPED_TRACE(c.label);
        TypeParam record;
        add_numbered_fields(record, 12);
        for (t_uint32 i = 0; i < 12; ++i) {
            const std::string name = "i" + std::to_string(i);
            record.append_info(name.c_str(), all, ("value of " + name).c_str(), all);
            record.insert_field_value(3, i + 1, name.c_str(), all);
        }
        record.remove_infos(flag_mask(c.selected));
        EXPECT_EQ(info_names(record), kept(c.selected, "i"));
        for (t_uint32 i = 0; i < record.info_count(); ++i) {
            EXPECT_EQ(std::string(record.info_value(i)), "value of " + std::string(record.info_name(i)));
        }

        // Field 3 holds v3, i0 .. i11: the mask picks among its 13 values.
        std::vector<bool> value_selection{false};
        value_selection.insert(value_selection.end(), c.selected.begin(), c.selected.end());
        record.remove_field_values(3, flag_mask(value_selection));
        std::vector<std::string> kept_values{"v3"};
        for (const std::string& v : kept(c.selected, "i")) kept_values.push_back(v);
        EXPECT_EQ(values(record, 3), kept_values);

        record.remove_fields(flag_mask(c.selected));
        EXPECT_EQ(names(record), kept(c.selected, "f"));
        for (t_uint32 i = 0; i < record.field_count(); ++i) {
            if (std::string(record.field_name(i)) != "f3") {
                EXPECT_EQ(values(record, i), (std::vector<std::string>{"v" + std::string(record.field_name(i) + 1)}));
            }
        }
    }
}

TYPED_TEST(track_info_records, removing_every_value_removes_the_field) {
    TypeParam record;
    add_numbered_fields(record, 12);
    record.insert_field_value(2, 1, "second", all);
    record.remove_field_values(2, index_mask_all());
    EXPECT_EQ(names(record), numbered({0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_STREQ(record.field_value(2, 0), "v3");
    // The overflow field that moved into the in-place part is intact.
    EXPECT_STREQ(record.field_name(9), "f10");
    EXPECT_STREQ(record.field_value(9, 0), "v10");
    record.remove_field_values(10, index_mask_one(0));
    EXPECT_EQ(names(record), numbered({0, 1, 3, 4, 5, 6, 7, 8, 9, 10}));
    record.remove_fields(index_mask_all());
    record.remove_infos(index_mask_all());
    EXPECT_EQ(record.field_count(), 0u);
}

TYPED_TEST(track_info_records, reorder_fields_applies_small_permutations) {
    const std::vector<std::vector<t_uint32>> orders = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},  // identity
        {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},  // reversal: six 2-cycles
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0},  // one 12-cycle
        {11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},  // the other way round
        {2, 0, 1, 5, 3, 4, 6, 7, 10, 11, 8, 9},  // several cycles and fixed points
    };
    for (const auto& order : orders) {
        TypeParam record;
        add_numbered_fields(record, 12);
        for (t_uint32 i = 0; i < 12; ++i) record.insert_field_value(i, 1, ("w" + std::to_string(i)).c_str(), all);
        record.reorder_fields(order.data());
        for (t_uint32 k = 0; k < 12; ++k) {
            EXPECT_EQ(std::string(record.field_name(k)), "f" + std::to_string(order[k])) << "position " << k;
            EXPECT_EQ(values(record, k),
                      (std::vector<std::string>{"v" + std::to_string(order[k]), "w" + std::to_string(order[k])}));
        }
    }
}

TYPED_TEST(track_info_records, insert_field_value_places_the_value_and_clamps_the_index) {
    struct insert_case {
        t_uint32 at;
        std::vector<std::string> expected;
    };
    const insert_case cases[] = {
        {0, {"new", "a", "b", "c"}},
        {1, {"a", "new", "b", "c"}},
        {2, {"a", "b", "new", "c"}},
        {3, {"a", "b", "c", "new"}},
        {4, {"a", "b", "c", "new"}},
        {0xFFFFFFFFu, {"a", "b", "c", "new"}},
    };
    for (const insert_case& c : cases) {
        TypeParam record;
        record.append_field("X", all, "a", all);
        record.insert_field_value(0, 1, "b", all);
        record.insert_field_value(0, 99, "c", all);
        record.insert_field_value(0, c.at, "new", all);
        EXPECT_EQ(values(record, 0), c.expected) << "at " << c.at;
    }
}

TYPED_TEST(track_info_records, replace_field_value_replaces_one_value) {
    TypeParam record;
    record.append_field("X", all, "a", all);
    record.insert_field_value(0, 1, "b", all);
    record.replace_field_value(0, 1, "bee", 2);
    record.replace_field_value(0, 0, "", all);
    EXPECT_EQ(values(record, 0), (std::vector<std::string>{"", "be"}));
    // A value given from the record's own text.
    record.replace_field_value(0, 1, record.field_value(0, 1) + 1, all);
    EXPECT_EQ(values(record, 0), (std::vector<std::string>{"", "e"}));
    record.insert_field_value(0, 0, record.field_value(0, 1), all);
    EXPECT_EQ(values(record, 0), (std::vector<std::string>{"e", "", "e"}));
}

// Names and values given from the record's own texts, also from the entry a setter replaces.
TYPED_TEST(track_info_records, appends_and_setters_take_texts_from_the_record_itself) {
    TypeParam record;
    record.append_field("artist", all, "A", all);
    record.append_info("codec", all, "FLAC", all);
    record.append_field(record.info_name(0), all, record.info_value(0), all);
    record.set_field(record.field_name(0), all, record.field_value(0, 0), all);
    record.append_info(record.field_name(1), all, record.field_value(1, 0), all);
    record.set_info(record.info_name(0), all, record.info_value(1), all);
    EXPECT_EQ(names(record), (std::vector<std::string>{"codec", "artist"}));
    EXPECT_EQ(values(record, 0), std::vector<std::string>{"FLAC"});
    EXPECT_EQ(values(record, 1), std::vector<std::string>{"A"});
    EXPECT_EQ(info_pairs(record), (std::vector<std::string>{"artist=A", "codec=A"}));
}

TYPED_TEST(track_info_records, copies_read_another_record_only_through_the_reading_operations) {
    TypeParam info;
    append_named_fields(info, {"old"});
    info.append_info("old", all, "x", all);
    const reading_only_source source;
    info.copy_from(source);
    EXPECT_EQ(names(info), (std::vector<std::string>{"ARTIST", "comment"}));
    EXPECT_EQ(values(info, 0), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(info.field_value_count(1), 0u);
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=FLAC"});
    EXPECT_EQ(info.get_length(), 183.25);
    EXPECT_EQ(info.replaygain().track_gain, -7.25f);
    EXPECT_EQ(info.replaygain().track_peak, 1.0f);
}

TYPED_TEST(track_info_records, partial_copies_replace_only_their_part) {
    TypeParam source;
    append_named_fields(source, {"title"});
    source.append_info("codec", all, "Opus", all);
    source.set_length(2.0);

    TypeParam info;
    append_named_fields(info, {"a", "b"});
    info.append_info("bitrate", all, "128", all);
    info.copy_fields_from(source);
    EXPECT_EQ(names(info), std::vector<std::string>{"title"});
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"bitrate=128"});
    info.copy_infos_from(source);
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=Opus"});
    EXPECT_EQ(info.get_length(), 0.0);
}

TYPED_TEST(track_info_records, copying_itself_changes_nothing) {
    TypeParam info;
    append_named_fields(info, {"artist", "title"});
    info.insert_field_value(0, 1, "Second", all);
    info.append_info("codec", all, "FLAC", all);
    info.set_length(3.5);
    info.copy_from(info);
    info.copy_fields_from(info);
    info.copy_infos_from(info);
    EXPECT_EQ(names(info), (std::vector<std::string>{"artist", "title"}));
    EXPECT_EQ(values(info, 0), (std::vector<std::string>{"artist value", "Second"}));
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=FLAC"});
    EXPECT_EQ(info.get_length(), 3.5);
}

// The host's own way in, for its track sources.
TEST(host_track_info, the_sources_way_in_allows_fields_without_values_and_copies_are_independent) {
    host::host_track_info info;
    info.add_field("genre", {});
    info.add_field(std::string("artist\0x", 8), {"A", std::string("B\0C", 3)});
    info.add_info("codec", "FLAC");
    EXPECT_EQ(info.field_value_count(0), 0u);
    EXPECT_EQ(values(info, 1), (std::vector<std::string>{"A", "B"}));
    EXPECT_STREQ(info.field_name(1), "artist");

    host::host_track_info copy = info;
    copy.set_field("artist", all, "Z", all);
    copy.set_length(1.0);
    EXPECT_EQ(names(info), (std::vector<std::string>{"genre", "artist"}));
    EXPECT_EQ(values(info, 1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(info.get_length(), 0.0);
    EXPECT_EQ(values(copy, 1), std::vector<std::string>{"Z"});
}

}  // namespace
