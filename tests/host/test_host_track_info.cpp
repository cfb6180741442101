// The host's own track information record, driven through the track_info table as the component
// drives it.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "host/host_track_info.h"

namespace {

constexpr t_uint32 all = vesk::length_up_to_nul;
constexpr t_uint32 not_found = vesk::index_not_found;

// A mask over a fixed selection that answers only find, as the record's removal must use it.
class find_only_mask final : public index_mask {
public:
    explicit find_only_mask(std::vector<bool> selected) : selected_(std::move(selected)) {}

    bool get(t_uint32) const override {
        ADD_FAILURE() << "removal asked the mask through get";
        return false;
    }
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override {
        const std::int64_t step = count < 0 ? -1 : 1;
        std::int64_t i = start;
        for (std::int64_t left = count < 0 ? -std::int64_t{count} : count; left > 0; --left, i += step) {
            const bool selected = i >= 0 && static_cast<std::size_t>(i) < selected_.size() && selected_[i];
            if (selected == value) return static_cast<t_uint32>(i);
        }
        return static_cast<t_uint32>(start + count);
    }

private:
    std::vector<bool> selected_;
};

std::vector<std::string> field_names(const track_info& info) {
    std::vector<std::string> names;
    for (t_uint32 i = 0; i < info.field_count(); ++i) names.emplace_back(info.field_name(i));
    return names;
}

std::vector<std::string> values_of(const track_info& info, t_uint32 field) {
    std::vector<std::string> values;
    for (t_uint32 j = 0; j < info.field_value_count(field); ++j) values.emplace_back(info.field_value(field, j));
    return values;
}

std::vector<std::string> info_pairs(const track_info& info) {
    std::vector<std::string> pairs;
    for (t_uint32 i = 0; i < info.info_count(); ++i)
        pairs.push_back(std::string(info.info_name(i)) + "=" + info.info_value(i));
    return pairs;
}

void append_fields(track_info& info, const std::vector<std::string>& names) {
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

TEST(host_track_info, a_new_record_is_empty_with_replaygain_not_set) {
    const host::host_track_info info;
    EXPECT_EQ(info.field_count(), 0u);
    EXPECT_EQ(info.info_count(), 0u);
    EXPECT_EQ(info.get_length(), 0.0);
    const replaygain_values rg = info.replaygain();
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.album_gain), 0xC47A0000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.track_gain), 0xC47A0000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.album_peak), 0xBF800000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rg.track_peak), 0xBF800000u);
}

TEST(host_track_info, length_and_replaygain_are_stored_as_given) {
    host::host_track_info info;
    info.set_length(44123.0 / 44100.0);
    info.set_replaygain({-7.25f, -6.5f, 1.0f, 0.98f});
    EXPECT_EQ(info.get_length(), 44123.0 / 44100.0);
    replaygain_values out;
    EXPECT_EQ(info.get_replaygain(&out), &out);
    EXPECT_EQ(out.album_gain, -7.25f);
    EXPECT_EQ(out.track_gain, -6.5f);
    EXPECT_EQ(out.album_peak, 1.0f);
    EXPECT_EQ(out.track_peak, 0.98f);
}

TEST(host_track_info, texts_end_at_their_length_or_first_nul_and_empty_reads_as_empty) {
    host::host_track_info info;
    const char bytes[] = "artist\0hidden";
    EXPECT_EQ(info.append_field("titleXYZ", 5, "Song-extra", 4), 0u);
    EXPECT_EQ(info.append_field(bytes, sizeof bytes - 1, "A\0B", 3), 1u);
    EXPECT_EQ(info.append_field("", all, "", all), 2u);
    EXPECT_EQ(info.append_field(nullptr, 0, nullptr, all), 3u);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"title", "artist", "", ""}));
    EXPECT_EQ(values_of(info, 0), std::vector<std::string>{"Song"});
    EXPECT_EQ(values_of(info, 1), std::vector<std::string>{"A"});
    EXPECT_EQ(values_of(info, 2), std::vector<std::string>{""});
    EXPECT_EQ(info.append_info("samplerateX", 10, "44100\0", all), 0u);
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"samplerate=44100"});
}

TEST(host_track_info, look_up_ignores_case_and_the_first_of_duplicates_wins) {
    host::host_track_info info;
    EXPECT_EQ(info.find_field("title", all), not_found);
    append_fields(info, {"ALBUM", "TITLE", "title", "ÉTÉ"});
    EXPECT_EQ(info.find_field("title", all), 1u);
    EXPECT_EQ(info.find_field("titles", 5), 1u);
    EXPECT_EQ(info.find_field("été", all), 3u);
    EXPECT_EQ(info.find_field("titl", all), not_found);
    info.append_info("CODEC", all, "FLAC", all);
    info.append_info("codec", all, "MP3", all);
    EXPECT_EQ(info.find_info("Codec", all), 0u);
    EXPECT_EQ(info.find_info("bitrate", all), not_found);
}

TEST(host_track_info, set_field_replaces_the_first_match_and_moves_it_to_the_end) {
    host::host_track_info info;
    append_fields(info, {"artist", "album", "title"});
    EXPECT_EQ(info.set_field("ARTIST", all, "New", all), 2u);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"album", "title", "ARTIST"}));
    EXPECT_EQ(values_of(info, 2), std::vector<std::string>{"New"});

    info.append_field("genre", all, "Rock", all);
    info.append_field("genre", all, "Pop", all);
    EXPECT_EQ(info.set_field("genre", all, "", all), 4u);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"album", "title", "ARTIST", "genre", "genre"}));
    EXPECT_EQ(values_of(info, 3), std::vector<std::string>{"Pop"});
    EXPECT_EQ(values_of(info, 4), std::vector<std::string>{""});
    EXPECT_EQ(info.set_field("date", all, "2001", all), 5u);
}

TEST(host_track_info, values_are_inserted_clamped_and_replaced_in_place) {
    host::host_track_info info;
    info.append_field("artist", all, "B", all);
    info.insert_field_value(0, 0, "A", all);
    info.insert_field_value(0, 99, "D", all);
    info.insert_field_value(0, 2, "C-long", 1);
    EXPECT_EQ(values_of(info, 0), (std::vector<std::string>{"A", "B", "C", "D"}));
    info.replace_field_value(0, 1, "b\0x", all);
    EXPECT_EQ(values_of(info, 0), (std::vector<std::string>{"A", "b", "C", "D"}));
}

TEST(host_track_info, removal_keeps_the_order_of_what_is_left) {
    struct removal_case {
        std::vector<bool> selected;
        std::vector<std::string> left;
    };
    const std::vector<removal_case> cases = {
        {{false, false, false, false, false}, {"a", "b", "c", "d", "e"}},
        {{true, false, true, false, true}, {"b", "d"}},
        {{false, true, true, false, false}, {"a", "d", "e"}},
        {{false, false, false, false, true}, {"a", "b", "c", "d"}},
        {{true, true, true, true, true}, {}},
    };
    for (const auto& c : cases) {
        host::host_track_info info;
        append_fields(info, {"a", "b", "c", "d", "e"});
        for (const char* name : {"a", "b", "c", "d", "e"}) info.append_info(name, all, "v", all);
        info.remove_fields(find_only_mask(c.selected));
        EXPECT_EQ(field_names(info), c.left);
        info.remove_infos(find_only_mask(c.selected));
        std::vector<std::string> info_names;
        for (t_uint32 i = 0; i < info.info_count(); ++i) info_names.emplace_back(info.info_name(i));
        EXPECT_EQ(info_names, c.left);
    }
}

TEST(host_track_info, removing_every_value_of_a_field_removes_the_field) {
    host::host_track_info info;
    append_fields(info, {"artist", "genre", "title"});
    info.insert_field_value(1, 1, "Pop", all);
    info.insert_field_value(1, 2, "Jazz", all);
    info.remove_field_values(1, find_only_mask({false, true, false}));
    EXPECT_EQ(values_of(info, 1), (std::vector<std::string>{"genre value", "Jazz"}));
    info.remove_field_values(1, find_only_mask({true, true}));
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"artist", "title"}));
}

TEST(host_track_info, reorder_puts_at_each_position_the_field_the_order_names) {
    host::host_track_info info;
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("f" + std::to_string(i));
    append_fields(info, names);
    // Two cycles and two fixed points, across the first ten and beyond.
    const std::vector<t_uint32> order = {11, 0, 2, 1, 5, 6, 4, 7, 9, 10, 8, 3};
    info.reorder_fields(order.data());
    for (std::size_t k = 0; k < order.size(); ++k) {
        EXPECT_EQ(info.field_name(static_cast<t_uint32>(k)), names[order[k]]);
        EXPECT_EQ(values_of(info, static_cast<t_uint32>(k)), std::vector<std::string>{names[order[k]] + " value"});
    }
}

TEST(host_track_info, set_info_replaces_the_first_match_and_moves_it_to_the_end) {
    host::host_track_info info;
    EXPECT_EQ(info.append_info("samplerate", all, "44100", all), 0u);
    EXPECT_EQ(info.append_info("channels", all, "2", all), 1u);
    EXPECT_EQ(info.set_info("SampleRate", all, "48000", all), 1u);
    EXPECT_EQ(info_pairs(info), (std::vector<std::string>{"channels=2", "SampleRate=48000"}));
    EXPECT_EQ(info.set_info("codec", all, "", all), 2u);
    EXPECT_EQ(info_pairs(info), (std::vector<std::string>{"channels=2", "SampleRate=48000", "codec="}));
}

TEST(host_track_info, copies_read_another_record_only_through_the_reading_operations) {
    host::host_track_info info;
    append_fields(info, {"old"});
    info.append_info("old", all, "x", all);
    const reading_only_source source;
    info.copy_from(source);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"ARTIST", "comment"}));
    EXPECT_EQ(values_of(info, 0), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(info.field_value_count(1), 0u);
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=FLAC"});
    EXPECT_EQ(info.get_length(), 183.25);
    EXPECT_EQ(info.replaygain().track_gain, -7.25f);
    EXPECT_EQ(info.replaygain().track_peak, 1.0f);
}

TEST(host_track_info, partial_copies_replace_only_their_part) {
    host::host_track_info source;
    append_fields(source, {"title"});
    source.append_info("codec", all, "Opus", all);
    source.set_length(2.0);

    host::host_track_info info;
    append_fields(info, {"a", "b"});
    info.append_info("bitrate", all, "128", all);
    info.copy_fields_from(source);
    EXPECT_EQ(field_names(info), std::vector<std::string>{"title"});
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"bitrate=128"});
    info.copy_infos_from(source);
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=Opus"});
    EXPECT_EQ(info.get_length(), 0.0);
}

TEST(host_track_info, copying_itself_changes_nothing) {
    host::host_track_info info;
    append_fields(info, {"artist", "title"});
    info.insert_field_value(0, 1, "Second", all);
    info.append_info("codec", all, "FLAC", all);
    info.set_length(3.5);
    info.copy_from(info);
    info.copy_fields_from(info);
    info.copy_infos_from(info);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"artist", "title"}));
    EXPECT_EQ(values_of(info, 0), (std::vector<std::string>{"artist value", "Second"}));
    EXPECT_EQ(info_pairs(info), std::vector<std::string>{"codec=FLAC"});
    EXPECT_EQ(info.get_length(), 3.5);
}

TEST(host_track_info, the_sources_way_in_allows_fields_without_values_and_copies_are_independent) {
    host::host_track_info info;
    info.add_field("genre", {});
    info.add_field(std::string("artist\0x", 8), {"A", std::string("B\0C", 3)});
    info.add_info("codec", "FLAC");
    EXPECT_EQ(info.field_value_count(0), 0u);
    EXPECT_EQ(values_of(info, 1), (std::vector<std::string>{"A", "B"}));
    EXPECT_STREQ(info.field_name(1), "artist");

    host::host_track_info copy = info;
    copy.set_field("artist", all, "Z", all);
    copy.set_length(1.0);
    EXPECT_EQ(field_names(info), (std::vector<std::string>{"genre", "artist"}));
    EXPECT_EQ(values_of(info, 1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(info.get_length(), 0.0);
    EXPECT_EQ(values_of(copy, 1), std::vector<std::string>{"Z"});
}

}  // namespace
