// JSON track lists through the command: what it rejects, and the sheets it writes from them as an
// independent reader sees them.

#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

class cli_track_lists : public cli_test_base {
protected:
    void SetUp() override {
        expected_findings = {"does not exist beside the sheet", "libcue cannot parse this: bad characters 'oldsheet'"};
    }
};

// Each rejection names the file, the line and column, and the reason; the status is 2 and the
// sheet is not written, also when a file of that name exists already.
TEST_F(cli_track_lists, malformed_lists_are_rejected_before_anything_is_written) {
    struct row {
        const char* case_name;
        std::string json;
        std::string message;
    };
    const row rows[] = {
        {"invalid JSON", R"({"tracks": [{"path": "a.flac",}]})",
         "bad.json:1:31: invalid JSON: syntax error while parsing object key - unexpected '}'; expected string literal"},
        {"missing path", "{\"tracks\": [\n  {\"length\": 1}]}", "bad.json:2:3: the track has no \"path\""},
        {"non-string path", R"({"tracks": [{"path": 5}]})", "bad.json:1:22: \"path\" must be a string"},
        {"non-string value", R"({"tracks": [{"path": "a.flac", "fields": {"title": 5}}]})",
         "bad.json:1:52: field \"title\" must be a string or an array of strings"},
        {"non-string value in a list", R"({"tracks": [{"path": "a.flac", "fields": {"genre": ["Rock", null]}}]})",
         "bad.json:1:61: field \"genre\": a value must be a string"},
        {"NUL in a string", R"({"tracks": [{"path": "a.flac", "fields": {"title": "a\u0000b"}}]})",
         "bad.json:1:52: NUL character inside a string"},
        {"negative length", R"({"tracks": [{"path": "a.flac", "length": -1}]})",
         "bad.json:1:42: \"length\" must not be negative"},
        {"non-numeric ReplayGain", R"({"tracks": [{"path": "a.flac", "replaygain": {"track_gain": "-6 dB"}}]})",
         "bad.json:1:61: ReplayGain \"track_gain\" must be a number"},
        {"duplicate keys", R"({"tracks": [{"path": "a.flac", "path": "b.flac"}]})",
         "bad.json:1:32: duplicate key \"path\""},
    };
    write_file(path("sheet.cue"), "old sheet");
    for (const row& r : rows) {
        SCOPED_TRACE(r.case_name);
        write_file(path("bad.json"), r.json);
        const auto result = trevalin({"--tracks", "bad.json", "-o", "sheet.cue", "--overwrite"});
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "trevalin: " + r.message + "\n");
        EXPECT_EQ(read_file(path("sheet.cue")), "old sheet");
        EXPECT_EQ(entries(), (std::set<std::string>{"bad.json", "sheet.cue"}));
    }
}

TEST_F(cli_track_lists, example_album_reads_back_through_libcue) {
    const std::string album = std::string(TREVALIN_SOURCE_DIR) + "/examples/album.json";
    const auto per_file = trevalin({"--tracks", album, "-o", "-"});
    ASSERT_EQ(per_file.status, 0) << per_file.err;
    const auto files = read_back(per_file.out);
    EXPECT_EQ(files.title, "Harbour Lights");
    EXPECT_EQ(files.performer, "The Lanterns");
    EXPECT_EQ(files.album_gain, "-7.25");  // libcue keeps the number
    EXPECT_EQ(files.album_peak, "1.000000");
    ASSERT_EQ(files.tracks.size(), 4u);
    const char* titles[] = {"Daybreak", "Canción del Río", "Low Tide", "'Home' Again"};
    const char* performers[] = {"The Lanterns", "The Lanterns feat. Mira Solé", "The Lanterns", "The Lanterns"};
    const char* names[] = {"01 Daybreak.flac", "02 Canción del Río.flac", "03 Low Tide.flac", "04 Home Again.flac"};
    const char* gains[] = {"-6.50", "-8.10", "-5.92", "-7.03"};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(files.tracks[i].title, titles[i]);
        EXPECT_EQ(files.tracks[i].performer, performers[i]);
        EXPECT_EQ(files.tracks[i].file, names[i]);
        EXPECT_EQ(files.tracks[i].start_frames, 0);
        EXPECT_EQ(files.tracks[i].track_gain, gains[i]);
    }
    EXPECT_NE(per_file.out.find("REM GENRE Folk, Indie\r\n"), std::string::npos);

    const auto image = trevalin({"--tracks", album, "-o", "-", "-f", "utf8-image"});
    ASSERT_EQ(image.status, 0) << image.err;
    const auto tracks = read_back(image.out).tracks;
    ASSERT_EQ(tracks.size(), 4u);
    // Running sums of 245.5, 198.04 and 312.773333 s, each to the nearest frame.
    const long starts[] = {0, 18413, 33266, 56723};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(tracks[i].file, "Image.flac");
        EXPECT_EQ(tracks[i].start_frames, starts[i]) << i;
        EXPECT_EQ(tracks[i].title, titles[i]);
    }
}

TEST_F(cli_track_lists, codepage_chooses_the_ansi_encoding) {
    write_file(path("list.json"), R"({"tracks": [
      {"path": "file:///музыка/01 Звезда.flac", "fields": {"album": "Группа крови", "artist": "Кино", "title": "Звезда"}},
      {"path": "file:///музыка/02 Война.flac", "fields": {"album": "Группа крови", "artist": "Кино", "title": "Война ♪"}}]})");
    // "Кино", "Группа крови", "Звезда", "Война" in windows-1251; the note has no place there.
    const std::string expected =
        "PERFORMER \"\xca\xe8\xed\xee\"\r\n"
        "TITLE \"\xc3\xf0\xf3\xef\xef\xe0 \xea\xf0\xee\xe2\xe8\"\r\n"
        "FILE \"01 \xc7\xe2\xe5\xe7\xe4\xe0.flac\" WAVE\r\n"
        "  TRACK 01 AUDIO\r\n"
        "    TITLE \"\xc7\xe2\xe5\xe7\xe4\xe0\"\r\n"
        "    INDEX 01 00:00:00\r\n"
        "FILE \"02 \xc2\xee\xe9\xed\xe0.flac\" WAVE\r\n"
        "  TRACK 02 AUDIO\r\n"
        "    TITLE \"\xc2\xee\xe9\xed\xe0 ?\"\r\n"
        "    INDEX 01 00:00:00\r\n";
    for (const char* name : {"windows-1251", "1251", "CP1251"}) {
        SCOPED_TRACE(name);
        const auto result = trevalin({"--tracks", "list.json", "-o", "-", "-f", "ansi", "--codepage", name});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expected);
        const auto sheet = read_back(result.out);
        ASSERT_EQ(sheet.tracks.size(), 2u);
        EXPECT_EQ(sheet.performer, "\xca\xe8\xed\xee");
        EXPECT_EQ(sheet.tracks[1].title, "\xc2\xee\xe9\xed\xe0 ?");
    }
    // The default code page, windows-1252, has no Cyrillic: one "?" per character.
    const auto western = trevalin({"--tracks", "list.json", "-o", "-", "-f", "ansi-image"});
    EXPECT_EQ(western.status, 0) << western.err;
    EXPECT_NE(western.out.find("PERFORMER \"????\"\r\n"), std::string::npos) << western.out;
    // The UTF-8 forms ignore the code page.
    const auto utf8 = trevalin({"--tracks", "list.json", "-o", "-", "--codepage", "1251"});
    EXPECT_NE(utf8.out.find("TITLE \"Война ♪\"\r\n"), std::string::npos) << utf8.out;
}

// A file name cannot end its quotes or its line early; the warning that the sheet cannot name it
// exactly shows its control characters escaped.
TEST_F(cli_track_lists, file_names_cannot_inject_lines) {
    write_file(path("list.json"), R"({"tracks": [
      {"path": "/m/01 x\" WAVE\r\n  TRACK 05 AUDIO\r\nFILE \"evil.flac", "fields": {"title": "One"}},
      {"path": "/m/02 \u001b[31mred.flac", "fields": {"title": "Two"}}]})");
    const auto result = trevalin({"--tracks", "list.json", "-o", "-"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto tracks = read_back(result.out).tracks;
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].file, "01 x' WAVE\\  TRACK 05 AUDIO\\FILE 'evil.flac");
    EXPECT_EQ(tracks[1].file, "02 _[31mred.flac");
    // The warnings show the names with their control characters escaped.
    EXPECT_NE(result.err.find("warning: track 1: the file name \"01 x\" WAVE\\r\\n  TRACK 05 AUDIO\\r\\nFILE \"evil.flac\" "
                              "cannot be named exactly in a cue sheet"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("warning: track 2: the file name \"02 \\x1b[31mred.flac\" cannot be named exactly"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace cli_test
