// Whole sheets, laid out line by line: every byte of the writer's output is fixed.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "abi/shared_library.h"
#include "cuesheet/cue_sheet_writer.h"
#include "cuesheet/field_lookup.h"
#include "host/shared/case_folding.h"
#include "platform/standin.h"
#include "trackinfo/index_masks.h"

namespace {

using field_list = std::vector<std::pair<std::string, std::vector<std::string>>>;

cue_track make_track(const char* file_name, t_uint32 number, double offset, const field_list& fields,
                     replaygain_values gain = {}) {
    cue_track track;
    track.file_name.assign(file_name, vesk::length_up_to_nul);
    track.track_number = number;
    set_index_times(track, offset);
    for (const auto& [name, values] : fields) {
        const t_uint32 field = track.info.append_field(name.c_str(), vesk::length_up_to_nul,
                                                       values.empty() ? "" : values[0].c_str(), vesk::length_up_to_nul);
        for (std::size_t v = 1; v < values.size(); ++v)
            track.info.insert_field_value(field, static_cast<t_uint32>(v), values[v].c_str(), vesk::length_up_to_nul);
    }
    track.info.set_replaygain(gain);
    return track;
}

std::string sheet_of(const std::vector<cue_track>& tracks) {
    cue_track_list list;
    for (const cue_track& track : tracks) list.append_record(track);
    vesk::string8_t<vesk::alloc_fast_aggressive> out;
    write_cue_sheet(out, list);
    return out.text();
}

// Lines joined with the sheet's CRLF, each ending in one.
std::string lines(const std::vector<std::string>& text) {
    std::string joined;
    for (const std::string& line : text) joined += line + "\r\n";
    return joined;
}

TEST(cue_sheet_writer, worked_album_image_example) {
    replaygain_values first_gain;
    first_gain.album_gain = -7.25f;
    first_gain.album_peak = 1.0f;
    first_gain.track_gain = -6.5f;
    first_gain.track_peak = 0.98f;
    const field_list common = {{"artist", {"Artist A"}}, {"album", {"Album X"}}, {"genre", {"Rock"}}};
    field_list one = common, two = common;
    one.push_back({"title", {"Song One"}});
    one.push_back({"date", {"1999"}});
    two.push_back({"title", {"Song Two"}});
    two.push_back({"date", {"2000"}});

    EXPECT_EQ(sheet_of({make_track("Image.flac", 1, 0.0, one, first_gain), make_track("Image.flac", 2, 245.5, two)}),
              lines({
                  "REM GENRE Rock",
                  "PERFORMER \"Artist A\"",
                  "TITLE \"Album X\"",
                  "REM REPLAYGAIN_ALBUM_GAIN -7.25 dB",
                  "REM REPLAYGAIN_ALBUM_PEAK 1.000000",
                  "FILE \"Image.flac\" WAVE",
                  "  TRACK 01 AUDIO",
                  "    TITLE \"Song One\"",
                  "    REM DATE 1999",
                  "    REM REPLAYGAIN_TRACK_GAIN -6.50 dB",
                  "    REM REPLAYGAIN_TRACK_PEAK 0.980000",
                  "    INDEX 01 00:00:00",
                  "  TRACK 02 AUDIO",
                  "    TITLE \"Song Two\"",
                  "    REM DATE 2000",
                  "    INDEX 01 04:05:38",
              }));
}

TEST(cue_sheet_writer, empty_list_appends_nothing_and_output_is_only_extended) {
    vesk::string8_t<vesk::alloc_fast_aggressive> out("kept");
    cue_track_list list;
    write_cue_sheet(out, list);
    EXPECT_STREQ(out.text(), "kept");
    list.append_record(make_track("a.wav", 1, 0, {}));
    write_cue_sheet(out, list);
    EXPECT_EQ(std::string(out.text()), "kept" + lines({"FILE \"a.wav\" WAVE", "  TRACK 01 AUDIO", "    INDEX 01 00:00:00"}));
}

TEST(cue_sheet_writer, performer_rule) {
    struct row {
        const char* name;
        field_list first, second;
        std::vector<std::string> expected;
    };
    const std::vector<row> rows = {
        {"album artist shared: header names it, every track its artist",
         {{"album artist", {"Various"}}, {"artist", {"A"}}},
         {{"album artist", {"Various"}}, {"artist", {"A"}}},
         {"PERFORMER \"Various\"", "FILE \"f\" WAVE", "  TRACK 01 AUDIO", "    PERFORMER \"A\"", "    INDEX 01 00:00:00",
          "  TRACK 02 AUDIO", "    PERFORMER \"A\"", "    INDEX 01 00:00:00"}},
        {"only the artist shared: header only",
         {{"album artist", {"X"}}, {"artist", {"A"}}},
         {{"album artist", {"Y"}}, {"artist", {"A"}}},
         {"PERFORMER \"A\"", "FILE \"f\" WAVE", "  TRACK 01 AUDIO", "    INDEX 01 00:00:00", "  TRACK 02 AUDIO",
          "    INDEX 01 00:00:00"}},
        {"neither shared: tracks only, and only those that have one",
         {{"artist", {"A"}}},
         {},
         {"FILE \"f\" WAVE", "  TRACK 01 AUDIO", "    PERFORMER \"A\"", "    INDEX 01 00:00:00", "  TRACK 02 AUDIO",
          "    INDEX 01 00:00:00"}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(sheet_of({make_track("f", 1, 0, r.first), make_track("f", 2, 0, r.second)}), lines(r.expected));
    }
}

TEST(cue_sheet_writer, album_wide_is_decided_by_exact_bytes) {
    struct row {
        const char* name;
        std::vector<std::string> first, second;
        bool album_wide;
    };
    const std::vector<row> rows = {
        {"same", {"Rock"}, {"Rock"}, true},
        {"case differs", {"Rock"}, {"rock"}, false},
        {"value order differs", {"Rock", "Pop"}, {"Pop", "Rock"}, false},
        {"same values", {"Rock", "Pop"}, {"Rock", "Pop"}, true},
        {"white space differs", {"Rock"}, {"Rock "}, false},
        {"missing on the second", {"Rock"}, {}, false},
        {"no values on either", {}, {}, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        cue_track_list list;
        field_list first = {{"GENRE", r.first}}, second;
        if (!r.second.empty()) second = {{"genre", r.second}};
        cue_track a = make_track("f", 1, 0, first), b = make_track("f", 2, 0, second);
        if (r.first.empty()) a.info.remove_fields(index_mask_all());
        list.append_record(a);
        list.append_record(b);
        EXPECT_EQ(field_is_album_wide(list, "genre"), r.album_wide);
        vesk::string8_t<vesk::alloc_fast_aggressive> out;
        write_cue_sheet(out, list);
        // Genre lives only in the header, so a field that is not album-wide appears nowhere.
        EXPECT_EQ(std::string(out.text()).find("GENRE") != std::string::npos, r.album_wide);
    }
}

TEST(cue_sheet_writer, single_record_puts_every_shared_field_in_the_header) {
    const field_list fields = {{"album artist", {"AA"}}, {"artist", {"A"}},      {"album", {"Al"}},
                               {"genre", {"G"}},         {"date", {"2001"}},     {"discid", {"D1"}},
                               {"comment", {"C"}},       {"catalog", {"123"}},   {"songwriter", {"S"}},
                               {"title", {"T"}},         {"isrc", {"ISRC1"}}};
    EXPECT_EQ(sheet_of({make_track("f.flac", 1, 0, fields)}),
              lines({"REM GENRE G", "REM DATE 2001", "REM DISCID D1", "REM COMMENT C", "CATALOG 123",
                     "SONGWRITER \"S\"", "PERFORMER \"AA\"", "TITLE \"Al\"", "FILE \"f.flac\" WAVE",
                     "  TRACK 01 AUDIO", "    TITLE \"T\"", "    PERFORMER \"A\"", "    ISRC ISRC1",
                     "    INDEX 01 00:00:00"}));
}

// Nothing shared: header-only fields appear nowhere, songwriter and date go to the tracks, and
// every per-track line comes in its place.
TEST(cue_sheet_writer, track_lines_in_order_when_nothing_is_album_wide) {
    auto fields_of = [](const std::string& n) -> field_list {
        return {{"album artist", {"AA" + n}}, {"artist", {"A" + n}},    {"album", {"Al" + n}},
                {"genre", {"G" + n}},         {"date", {"200" + n}},    {"discid", {"D" + n}},
                {"comment", {"C" + n}},       {"catalog", {"K" + n}},   {"songwriter", {"S" + n}},
                {"title", {"T" + n}},         {"isrc", {"I" + n}}};
    };
    replaygain_values gain;
    gain.track_gain = -1.5f;
    gain.track_peak = 0.5f;
    cue_track first = make_track("a.wav", 1, 0, fields_of("1"), gain);
    first.flags.assign("DCP", vesk::length_up_to_nul);
    first.index_times[0] = 1.0;
    first.index_times[1] = 3.0;
    first.index_times[2] = 10.0;
    EXPECT_EQ(sheet_of({first, make_track("b.wav", 2, 0, fields_of("2"))}),
              lines({"FILE \"a.wav\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    PERFORMER \"A1\"",
                     "    SONGWRITER \"S1\"", "    ISRC I1", "    REM DATE 2001", "    REM REPLAYGAIN_TRACK_GAIN -1.50 dB",
                     "    REM REPLAYGAIN_TRACK_PEAK 0.500000", "    FLAGS DCP", "    INDEX 00 00:01:00",
                     "    INDEX 01 00:03:00", "    INDEX 02 00:10:00", "FILE \"b.wav\" WAVE", "  TRACK 02 AUDIO",
                     "    TITLE \"T2\"", "    PERFORMER \"A2\"", "    SONGWRITER \"S2\"", "    ISRC I2",
                     "    REM DATE 2002", "    INDEX 01 00:00:00"}));
}

TEST(cue_track, fresh_records_index_times_and_independent_copies) {
    cue_track fresh;
    const replaygain_values unset = fresh.info.replaygain();
    EXPECT_EQ(unset.album_gain, -1000.0f);
    EXPECT_EQ(unset.track_gain, -1000.0f);
    EXPECT_EQ(unset.album_peak, -1.0f);
    EXPECT_EQ(unset.track_peak, -1.0f);
    EXPECT_EQ(fresh.info.get_length(), 0.0);
    EXPECT_EQ(fresh.info.field_count(), 0u);
    EXPECT_STREQ(fresh.file_name.text(), "");
    EXPECT_STREQ(fresh.flags.text(), "");
    for (const double time : fresh.index_times) EXPECT_EQ(time, 0.0);

    for (double& time : fresh.index_times) time = 7.0;
    set_index_times(fresh, 245.5);
    EXPECT_EQ(fresh.index_times[0], 245.5);
    EXPECT_EQ(fresh.index_times[1], 245.5);
    for (t_uint32 n = 2; n < cue_track::index_count; ++n) EXPECT_EQ(fresh.index_times[n], 0.0) << n;

    cue_track source = make_track("a.flac", 3, 12.0, {{"title", {"T"}}});
    source.flags.assign("PRE", vesk::length_up_to_nul);
    source.index_times[99] = 1.0;
    cue_track copy(source);
    EXPECT_STREQ(copy.file_name.text(), "a.flac");
    EXPECT_STREQ(copy.flags.text(), "PRE");
    EXPECT_EQ(copy.track_number, 3u);
    EXPECT_EQ(copy.index_times[1], 12.0);
    EXPECT_EQ(copy.index_times[99], 1.0);
    copy.file_name.assign("b.flac", vesk::length_up_to_nul);
    copy.info.set_field("title", vesk::length_up_to_nul, "U", vesk::length_up_to_nul);
    EXPECT_STREQ(source.file_name.text(), "a.flac");
    EXPECT_STREQ(source.info.field_value(source.info.find_field("title", vesk::length_up_to_nul), 0), "T");
}

TEST(cue_sheet_writer, values_and_file_names_are_cleaned) {
    const field_list fields = {
        {"title", {"Say \"Hi\""}},
        {"comment", {"one\r\ntwo"}},
        {"artist", {"lone\nline\ttab\x01" "end"}},
        {"songwriter", {"Zo\xC3\xAB \xE2\x99\xAA\rX"}},
        {"isrc", {"a", "b"}},
    };
    EXPECT_EQ(sheet_of({make_track("01 x\" WAVE\r\n  TRACK 05 AUDIO\r\nFILE \"evil\t\n.flac", 1, 0, fields)}),
              lines({"REM COMMENT one\\two", "SONGWRITER \"Zo\xC3\xAB \xE2\x99\xAA_X\"", "PERFORMER \"lone_line_tab_end\"",
                     "FILE \"01 x' WAVE\\  TRACK 05 AUDIO\\FILE 'evil__.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"Say 'Hi'\"", "    ISRC a, b",
                     "    INDEX 01 00:00:00"}));
}

TEST(cue_sheet_writer, file_lines_follow_changes_from_the_previous_record) {
    EXPECT_EQ(sheet_of({make_track("A", 1, 0, {}), make_track("B", 2, 0, {}), make_track("A", 3, 0, {}),
                        make_track("a", 4, 0, {})}),
              lines({"FILE \"A\" WAVE", "  TRACK 01 AUDIO", "    INDEX 01 00:00:00", "FILE \"B\" WAVE",
                     "  TRACK 02 AUDIO", "    INDEX 01 00:00:00", "FILE \"A\" WAVE", "  TRACK 03 AUDIO",
                     "    INDEX 01 00:00:00", "FILE \"a\" WAVE", "  TRACK 04 AUDIO", "    INDEX 01 00:00:00"}));
    EXPECT_EQ(sheet_of({make_track("", 7, 0, {}), make_track("x", 123, 0, {})}),
              lines({"  TRACK 07 AUDIO", "    INDEX 01 00:00:00", "FILE \"x\" WAVE", "  TRACK 123 AUDIO",
                     "    INDEX 01 00:00:00"}));
}

TEST(cue_sheet_writer, index_lines) {
    struct row {
        const char* name;
        std::vector<std::pair<int, double>> times;
        std::vector<std::string> expected;
    };
    const std::vector<row> rows = {
        {"pregap before the start", {{0, -2.0}, {1, 0.0}}, {"    PREGAP 00:02:00", "    INDEX 01 00:00:00"}},
        {"index 00 inside the file", {{0, 1.0}, {1, 3.0}}, {"    INDEX 00 00:01:00", "    INDEX 01 00:03:00"}},
        {"index 00 at the very start", {{0, 0.0}, {1, 2.0}}, {"    INDEX 00 00:00:00", "    INDEX 01 00:02:00"}},
        {"index 1 equal to index 0", {{0, 3.0}, {1, 3.0}}, {"    INDEX 01 00:03:00"}},
        {"index 1 below index 0", {{0, 5.0}, {1, 3.0}}, {"    INDEX 01 00:03:00"}},
        {"further points until the first non-positive",
         {{0, 1.0}, {1, 1.0}, {2, 10.0}, {3, 20.5}, {4, 0.0}, {5, 30.0}},
         {"    INDEX 01 00:01:00", "    INDEX 02 00:10:00", "    INDEX 03 00:20:38"}},
        {"a zero index 2 hides later points", {{2, 0.0}, {3, 10.0}}, {"    INDEX 01 00:00:00"}},
        {"a negative index 2 ends the walk", {{2, -1.0}, {3, 10.0}}, {"    INDEX 01 00:00:00"}},
        {"index 99 is the last", {}, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        cue_track track = make_track("f", 1, 0, {});
        std::vector<std::string> expected = {"FILE \"f\" WAVE", "  TRACK 01 AUDIO"};
        if (r.times.empty()) {
            for (int n = 0; n < 100; ++n) track.index_times[n] = n == 0 ? 1 : n;
            expected.push_back("    INDEX 01 00:01:00");
            for (int n = 2; n < 100; ++n) {
                const std::string nn = (n < 10 ? "0" : "") + std::to_string(n);
                const std::string mm = n / 60 < 10 ? "0" + std::to_string(n / 60) : std::to_string(n / 60);
                const std::string ss = n % 60 < 10 ? "0" + std::to_string(n % 60) : std::to_string(n % 60);
                expected.push_back("    INDEX " + nn + " " + mm + ":" + ss + ":00");
            }
        } else {
            for (const auto& [n, t] : r.times) track.index_times[n] = t;
            expected.insert(expected.end(), r.expected.begin(), r.expected.end());
        }
        EXPECT_EQ(sheet_of({track}), lines(expected));
    }
}

TEST(cue_sheet_writer, replaygain_lines) {
    replaygain_values first;
    first.album_gain = 0.0f;
    first.album_peak = 0.0f;
    first.track_gain = -1000.0f;
    first.track_peak = -1.0f;
    replaygain_values second;
    second.album_gain = -3.0f;  // only the first record's album values count
    second.album_peak = 0.5f;
    second.track_gain = 0.0f;
    second.track_peak = 0.0f;
    EXPECT_EQ(sheet_of({make_track("f", 1, 0, {}, first), make_track("f", 2, 0, {}, second)}),
              lines({"REM REPLAYGAIN_ALBUM_GAIN +0.00 dB", "REM REPLAYGAIN_ALBUM_PEAK 0.000000", "FILE \"f\" WAVE",
                     "  TRACK 01 AUDIO", "    INDEX 01 00:00:00", "  TRACK 02 AUDIO",
                     "    REM REPLAYGAIN_TRACK_GAIN +0.00 dB", "    REM REPLAYGAIN_TRACK_PEAK 0.000000",
                     "    INDEX 01 00:00:00"}));
    // Without album values on the first record, the header has none even when a later one has.
    EXPECT_EQ(sheet_of({make_track("f", 1, 0, {}), make_track("f", 2, 0, {}, second)}).find("ALBUM_GAIN"),
              std::string::npos);
}

TEST(cue_sheet_writer, flags_line_when_not_empty) {
    cue_track track = make_track("f", 1, 0, {{"title", {"T"}}});
    track.flags.assign("DCP PRE", vesk::length_up_to_nul);
    EXPECT_EQ(sheet_of({track}), lines({"FILE \"f\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T\"", "    FLAGS DCP PRE",
                                        "    INDEX 01 00:00:00"}));
}

TEST(cue_sheet_writer, running_out_of_memory_keeps_what_was_written) {
    cue_track_list list;
    list.append_record(make_track("a.flac", 1, 0, {{"artist", {"A"}}, {"title", {"One \"x\"\r\ny"}}}));
    list.append_record(make_track("a.flac", 2, 200, {{"artist", {"A"}}, {"title", {"Two"}}}));
    vesk::string8_t<vesk::alloc_fast_aggressive> whole;
    write_cue_sheet(whole, list);

    int failures = 0;
    for (unsigned long k = 1;; ++k) {
        vesk::string8_t<vesk::alloc_fast_aggressive> out;
        platform::standin::fail_heap_call(k);
        try {
            write_cue_sheet(out, list);
            platform::standin::fail_heap_call(0);
            EXPECT_EQ(std::string(out.text()), whole.text());
            break;
        } catch (const std::bad_alloc& e) {
            platform::standin::fail_heap_call(0);
            ++failures;
            EXPECT_STREQ(e.what(), "bad allocation");
            EXPECT_EQ(std::string(whole.text()).rfind(out.text(), 0), 0u) << "not a prefix at heap call " << k;
        }
    }
    EXPECT_GE(failures, 2);  // the first record's joined texts and the output's growth
}

std::string utf8_of(t_uint32 cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// The writer's own name matching must agree with stricmp_utf8_ex for every character that case
// folding maps, and every ASCII byte, put in place of each letter of each name the sheet uses.
TEST(cue_sheet_writer, field_names_match_exactly_as_the_full_comparison_does) {
    std::vector<t_uint32> characters;
    for (t_uint32 c = 1; c < 0x80; ++c) characters.push_back(c);
    for (t_uint32 r = 0; r < shared::case_fold_run_count; ++r) {
        const shared::case_fold_run& run = shared::case_fold_runs[r];
        for (t_uint32 c = run.first; c <= run.last; c += run.stride) {
            characters.push_back(c);
            characters.push_back(static_cast<t_uint32>(static_cast<t_int32>(c) + run.delta));
        }
    }
    const char* names[] = {"album artist", "artist", "album", "genre", "date", "discid",
                           "comment", "catalog", "songwriter", "title", "isrc"};
    int matched_outside_ascii = 0;
    for (const char* name : names) {
        const std::string wanted = name;
        for (std::size_t k = 0; k <= wanted.size(); ++k) {
            for (t_uint32 c : characters) {
                const std::string replaced = wanted.substr(0, k) + utf8_of(c) + (k < wanted.size() ? wanted.substr(k + 1) : "");
                const bool expected = stricmp_utf8_ex(replaced.c_str(), vesk::length_up_to_nul, name, vesk::length_up_to_nul) == 0;
                ASSERT_EQ(field_name_matches(replaced.c_str(), name), expected) << replaced << " / " << name;
                if (expected && c >= 0x80) ++matched_outside_ascii;
            }
        }
    }
    EXPECT_GT(matched_outside_ascii, 0);  // the long s in "album artiſt", the Kelvin sign nowhere
}

}  // namespace
