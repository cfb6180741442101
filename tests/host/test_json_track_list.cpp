// JSON track lists: every accepted form, and every rejection with where and why.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/json_track_list.h"
#include "host/track_list_fast_pass.h"
#include "scratch_dir.h"
#include "tests/host/track_info_text.h"

namespace {

constexpr t_uint32 all = vesk::length_up_to_nul;

std::vector<host::track_entry> parse(const std::string& text) {
    std::istringstream input(text);
    return host::read_json_track_list(input, "list.json");
}

std::string rejection(const std::string& text) {
    try {
        parse(text);
    } catch (const host::input_error& error) {
        return error.what();
    }
    return "<accepted>";
}

std::vector<std::string> infos_of(const track_info& info) {
    std::vector<std::string> out;
    for (t_uint32 i = 0; i < info.info_count(); ++i) out.push_back(std::string(info.info_name(i)) + "=" + info.info_value(i));
    return out;
}

struct rejection_case {
    const char* text;
    const char* message;
};

TEST(json_track_list, malformed_input_is_rejected_with_position_and_reason) {
    const std::vector<rejection_case> cases = {
        {R"([{"path": "a"}, {"length": 1}])", "list.json:1:17: the track has no \"path\""},
        {R"([{"path": 5}])", "list.json:1:11: \"path\" must be a string"},
        {R"([{"path": null}])", "list.json:1:11: \"path\" must be a string"},
        {R"([{"path": ""}])", "list.json:1:11: \"path\" must not be empty"},
        {R"([{"path": "a", "fields": {"artist": 5}}])",
         "list.json:1:37: field \"artist\" must be a string or an array of strings"},
        {R"([{"path": "a", "fields": {"genre": ["Rock", null]}}])",
         "list.json:1:45: field \"genre\": a value must be a string"},
        {R"([{"path": "a", "fields": "x"}])",
         "list.json:1:26: \"fields\" must be an object or a list of [name, [values...]] pairs"},
        {R"([{"path": "a", "fields": [["artist"]]}])", "list.json:1:27: a field in a list must be [name, [values...]]"},
        {R"([{"path": "a", "fields": [[1, ["x"]]]}])", "list.json:1:27: a field in a list must be [name, [values...]]"},
        {R"([{"path": "a\u0000b"}])", "list.json:1:11: NUL character inside a string"},
        {R"([{"path": "a", "fields": {"x\u0000": "y"}}])", "list.json:1:27: NUL character inside a key"},
        {R"([{"path": "a", "length": -1.5}])", "list.json:1:26: \"length\" must not be negative"},
        {R"([{"path": "a", "length": 1e400}])", "list.json:1:26: number overflow parsing '1e400'"},
        {R"([{"path": "a", "replaygain": {"track_gain": -1e400}}])", "list.json:1:45: number overflow parsing '-1e400'"},
        {R"([{"path": "a", "length": "5"}])", "list.json:1:26: \"length\" must be a number"},
        {R"([{"path": "a", "replaygain": {"track_gain": "-6.5 dB"}}])",
         "list.json:1:45: ReplayGain \"track_gain\" must be a number"},
        {R"([{"path": "a", "replaygain": {"album_gain": null}}])",
         "list.json:1:45: ReplayGain \"album_gain\" must be a number"},
        {R"([{"path": "a", "replaygain": {"album_peak": 1e39}}])",
         "list.json:1:45: ReplayGain \"album_peak\" is out of range"},
        {R"([{"path": "a", "replaygain": {"gain": 1}}])",
         "list.json:1:31: unknown ReplayGain value \"gain\" (expected album_gain, album_peak, track_gain or track_peak)"},
        {R"([{"path": "a", "replaygain": -6.5}])", "list.json:1:30: \"replaygain\" must be an object"},
        {R"([{"path": "a", "path": "b"}])", "list.json:1:16: duplicate key \"path\""},
        {R"({"tracks": [], "tracks": []})", "list.json:1:16: duplicate key \"tracks\""},
        {"{\"tracks\": [\n  {\"path\": \"a\",\n   \"fields\": {\"title\": \"x\", \"TITLE\": \"y\", \"title\": \"z\"}}\n]}",
         "list.json:3:43: duplicate key \"title\""},
        {R"([{"path": "a", "lenght": 5}])", "list.json:1:16: unknown key \"lenght\" in a track"},
        {R"([{"path": "a", "k\"\\": 1}])", "list.json:1:16: unknown key \"k\"\\\" in a track"},
        {R"([{"path": "é", "x": 1}])", "list.json:1:16: unknown key \"x\" in a track"},
        {R"({"tracks": [], "version": 2})", "list.json:1:16: unknown key \"version\" (expected \"tracks\")"},
        {R"({"tracks": {}})", "list.json:1:12: \"tracks\" must be an array"},
        {R"({})", "list.json:1:1: the track list has no \"tracks\""},
        {R"("tracks")", "list.json:1:1: expected an array of tracks or an object with \"tracks\""},
        {R"([["a"]])", "list.json:1:2: a track must be an object"},
        {R"([{"path": "a", "info": {"samplerate": 44100}}])", "list.json:1:39: info \"samplerate\" must be a string"},
        {R"([{"path": "a", "info": ["x"]}])", "list.json:1:24: \"info\" must be an object"},
        {R"([{"path": "a", "info_missing": 1}])", "list.json:1:32: \"info_missing\" must be true or false"},
        {R"([{"path": "a", "info_missing": true, "fields": {}}])",
         "list.json:1:38: \"fields\" in a track marked \"info_missing\""},
        {R"([{"path": "a",}])",
         "list.json:1:15: invalid JSON: syntax error while parsing object key - unexpected '}'; expected string literal"},
        {R"({"tracks": [)",
         "list.json:1:13: invalid JSON: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
        {"[{\"path\": \"a\"}]\n[]", "list.json:2:1: invalid JSON: syntax error while parsing value - unexpected '['; expected end of input"},
        {"", "list.json:1:1: invalid JSON: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
        {"[{\"path\": \"a\xff\"}]", "list.json:1:13: invalid JSON: syntax error while parsing value - invalid string: ill-formed UTF-8 byte; last read: '\"a\xff'"},
    };
    for (const auto& c : cases) EXPECT_EQ(rejection(c.text), c.message) << c.text;
}

// The list is read in one pass, yet with several faults the one reported does not depend on where
// the reading stopped: the parser's own errors first, then the list's shape, then the first faulty
// track, and within a track the checks in a fixed order.
TEST(json_track_list, of_several_faults_the_same_one_is_reported) {
    const std::vector<rejection_case> cases = {
        {R"([{"path": 5}] [)", "list.json:1:15: invalid JSON: syntax error while parsing value - unexpected '['; expected end of input"},
        {R"([{"path": "a", "x": {"k": 1, "k": 2}}])", "list.json:1:30: duplicate key \"k\""},
        {R"({"tracks": [{"path": 5}], "version": 2})", "list.json:1:27: unknown key \"version\" (expected \"tracks\")"},
        {R"([{"path": 1}, {"path": 2}])", "list.json:1:11: \"path\" must be a string"},
        {R"([{"path": 5, "lenght": 1}])", "list.json:1:14: unknown key \"lenght\" in a track"},
        {R"([{"fields": {"a": 1}, "path": "p", "info_missing": true}])",
         "list.json:1:3: \"fields\" in a track marked \"info_missing\""},
        {R"([{"path": "a", "fields": [["x", [1], 3]]}])", "list.json:1:27: a field in a list must be [name, [values...]]"},
        {R"([{"path": "a", "fields": [["x", [1]]]}])", "list.json:1:34: field \"x\": a value must be a string"},
    };
    for (const auto& c : cases) EXPECT_EQ(rejection(c.text), c.message) << c.text;
}

// Lists in order take the quick pass; a list with a fault, or one the two parsers might read
// differently, is left to the exact pass, which then reports what the table above shows.
TEST(json_track_list, only_lists_without_faults_take_the_quick_pass) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {R"({"tracks": [{"path": "a", "length": 1, "fields": {"x": ["1", "2"]}, "replaygain": {"track_gain": -1}}]})", true},
        {"\xEF\xBB\xBF[{\"path\": \"a\", \"fields\": [[\"x\", \"y\"]], \"info\": {\"k\": \"v\"}}]", true},
        {R"([{"path": "\u00e9\ud834\udd1e"}])", true},
        {R"([{"path": "\udc00"}])", false},
        {std::string("[{\"path\": \"a\"}]\0x", 17), true},  // both parsers end the text at a NUL byte
        {R"([{"path": "a", "path": "b"}])", false},
        {R"([{"path": 5}])", false},
        {R"([{"path": "a", "length": 1e400}])", false},
        {"[{\"path\": \"a\xff\"}]", false},
        {"[{\"path\": \"\xC0\xAF\"}]", false},          // an overlong form
        {"[{\"path\": \"\xED\xA0\x80\"}]", false},      // a surrogate written out
        {"[{\"path\": \"\xF4\x90\x80\x80\"}]", false},  // past U+10FFFF
        {"[{\"path\": \"a\tb\"}]", false},               // a raw control character
    };
    for (const auto& [text, quick] : cases) EXPECT_EQ(host::read_faultless_track_list(text).has_value(), quick) << text;
    EXPECT_EQ(rejection(R"([{"path": "\udc00"}])"),
              "list.json:1:17: invalid JSON: syntax error while parsing value - invalid string: surrogate U+DC00..U+DFFF "
              "must follow U+D800..U+DBFF; last read: '\"\\udc00'");
}

TEST(json_track_list, nesting_is_limited_to_64_levels) {
    const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    EXPECT_EQ(rejection(nested(64)), "list.json:1:2: a track must be an object");
    EXPECT_EQ(rejection(nested(65)), "list.json:1:65: nested more than 64 levels deep");
}

TEST(json_track_list, the_object_form_keeps_everything_in_order) {
    const auto entries = parse(R"({"tracks": [
      {"path": "file:///music/Album/01 Intro.flac",
       "length": 245.5,
       "fields": {"artist": "Artist A", "album": "Album X", "genre": ["Rock", "Pop"], "zeta": [], "alpha": ""},
       "replaygain": {"album_gain": -7.25, "album_peak": 1.0, "track_gain": -6.5, "track_peak": 0.98},
       "info": {"samplerate": "44100", "channels": "2"}},
      {"path": "/music/Album/02.flac", "length": 200}
    ]})");
    ASSERT_EQ(entries.size(), 2u);
    const auto& first = entries[0];
    EXPECT_EQ(first.path, "file:///music/Album/01 Intro.flac");
    EXPECT_FALSE(first.info_missing);
    EXPECT_EQ(first.info.get_length(), 245.5);
    EXPECT_EQ(fields_of(first.info),
              (std::vector<std::string>{"artist=Artist A", "album=Album X", "genre=Rock|Pop", "zeta=", "alpha="}));
    EXPECT_EQ(first.info.field_value_count(3), 0u);
    EXPECT_EQ(first.info.field_value_count(4), 1u);
    const replaygain_values rg = first.info.replaygain();
    EXPECT_EQ(rg.album_gain, -7.25f);
    EXPECT_EQ(rg.track_gain, -6.5f);
    EXPECT_EQ(rg.album_peak, 1.0f);
    EXPECT_EQ(rg.track_peak, 0.98f);
    EXPECT_EQ(infos_of(first.info), (std::vector<std::string>{"samplerate=44100", "channels=2"}));
    EXPECT_EQ(entries[1].path, "/music/Album/02.flac");
    EXPECT_EQ(entries[1].info.get_length(), 200.0);
}

TEST(json_track_list, a_bare_array_with_field_pairs_allows_repeated_names) {
    const auto entries = parse(
        "\xEF\xBB\xBF"  // a byte-order mark, as Windows editors write
        R"([{"path": "a.flac", "fields": [["artist", ["A", "B"]], ["comment", []], ["ARTIST", ["C"]], ["title", "T"]]},
            {"path": "b.flac"}])");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(fields_of(entries[0].info), (std::vector<std::string>{"artist=A|B", "comment=", "ARTIST=C", "title=T"}));
    EXPECT_EQ(entries[0].info.find_field("artist", all), 0u);
    const auto& bare = entries[1].info;
    EXPECT_EQ(bare.field_count(), 0u);
    EXPECT_EQ(bare.info_count(), 0u);
    EXPECT_EQ(bare.get_length(), 0.0);
    EXPECT_EQ(bare.replaygain().album_gain, replaygain_values::gain_not_set);
    EXPECT_EQ(bare.replaygain().track_peak, replaygain_values::peak_not_set);
}

TEST(json_track_list, absent_replaygain_values_stay_not_set) {
    const auto entries = parse(R"([{"path": "a", "replaygain": {"track_gain": 2, "track_peak": 0.5}}])");
    const replaygain_values rg = entries.at(0).info.replaygain();
    EXPECT_EQ(rg.album_gain, replaygain_values::gain_not_set);
    EXPECT_EQ(rg.track_gain, 2.0f);
    EXPECT_EQ(rg.album_peak, replaygain_values::peak_not_set);
    EXPECT_EQ(rg.track_peak, 0.5f);
}

TEST(json_track_list, info_missing_marks_a_track_without_information) {
    const auto entries = parse(R"([{"path": "a", "info_missing": true}, {"path": "b", "info_missing": false, "length": 1}])");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].info_missing);
    EXPECT_EQ(entries[0].info.field_count(), 0u);
    EXPECT_FALSE(entries[1].info_missing);
    EXPECT_EQ(entries[1].info.get_length(), 1.0);
}

TEST(json_track_list, an_empty_list_has_no_tracks) {
    EXPECT_TRUE(parse(R"({"tracks": []})").empty());
    EXPECT_TRUE(parse("[]").empty());
}

TEST(json_track_list, files_are_named_in_their_errors) {
    test_support::scratch_dir dir;
    const std::string list = dir / "list.json";
    test_support::write_file(list, "[{\"path\": \"x.flac\", \"length\": 1.5}]");
    const auto entries = host::read_json_track_list_file(list);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].info.get_length(), 1.5);

    test_support::write_file(list, "[{\"path\": 1}]");
    EXPECT_THROW(
        {
            try {
                host::read_json_track_list_file(list);
            } catch (const host::input_error& error) {
                EXPECT_EQ(error.what(), list + ":1:11: \"path\" must be a string");
                throw;
            }
        },
        host::input_error);

    for (const std::string& path : {dir / "missing.json", dir.path().string()}) {
        try {
            host::read_json_track_list_file(path);
            ADD_FAILURE() << path << " was accepted";
        } catch (const host::input_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind(path + ": ", 0), 0u) << error.what();
        }
    }
}

}  // namespace
