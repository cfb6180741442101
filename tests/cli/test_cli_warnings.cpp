// Warnings before the export about what other programs would misread, --strict, and what the
// command says once the sheet is written.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/audio_maker.h"
#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

class cli_warnings : public cli_test_base {
protected:
    void SetUp() override { expected_findings = {"does not exist beside the sheet"}; }
};

std::string track(const std::string& path, const std::string& extra = {}, const std::string& length = "10") {
    return R"({"path": "file://)" + path + R"(", "length": )" + length + extra + "}";
}

std::string track_list(const std::vector<std::string>& tracks) {
    std::string list = R"({"tracks": [)";
    for (std::size_t i = 0; i < tracks.size(); ++i) list += (i > 0 ? ",\n" : "\n") + tracks[i];
    return list + "]}";
}

TEST_F(cli_warnings, each_problem_is_named_with_its_tracks) {
    std::vector<std::string> many;
    for (int i = 1; i <= 101; ++i) many.push_back(track("/m/" + std::to_string(i) + ".flac"));
    struct row {
        std::vector<std::string> tracks;
        std::vector<std::string> options;
        std::string warnings;  // all of standard error
    };
    const row rows[] = {
        {many, {}, "trevalin: warning: 101 tracks: most programs that read cue sheets take at most 99 and refuse or "
                   "drop tracks 100, 101\n"},
        {{track("/m/CD1/01 Track1.flac"), track("/m/CD2/01 TRACK1.flac"), track("/m/CD2/02.flac")}, {},
         "trevalin: warning: tracks 1, 2 have the same file name \"01 TRACK1.flac\" in different folders (/m/CD1/, "
         "/m/CD2/): the sheet cannot tell the files apart\n"},
        {{track("/m/AC:DC.flac"), track("/m/say \\\"hi\\\".flac")}, {"-f", "ansi"},
         "trevalin: warning: track 1: the file name \"AC:DC.flac\" cannot be named exactly in a cue sheet: the FILE "
         "line would name \"DC.flac\"\n"
         "trevalin: warning: track 2: the file name \"say \"hi\".flac\" cannot be named exactly in a cue sheet: a "
         "FILE line cannot hold a double quote\n"},
        {{track("/m/1.flac"), track("/m/2.flac"), track("/m/3.mp3"), track("/m/4.flac")}, {"-f", "utf8-image"},
         "trevalin: warning: the files have 2 extensions, so the album image sheet names one image for each: "
         "Image.flac (tracks 1, 2, 4), Image.mp3 (track 3)\n"},
        {{track("/m/1.flac", R"(, "fields": {"artist": "Ж", "title": "Ωmega"})"),
          track("/m/2.flac", R"(, "fields": {"title": "Один ΩΩ"})")},
         {"-f", "ansi", "--codepage", "1251"},
         "trevalin: warning: the code page windows-1251 cannot hold 3 characters, which become \"?\": 3 in title "
         "(tracks 1, 2)\n"},
        {{track("/m/1.flac", R"(, "info": {"samplerate": "44100"})", "10.01"),
          track("/m/2.flac", R"(, "info": {"samplerate": "44100"})"),
          track("/m/3.flac", R"(, "info": {"samplerate": "48000"})", "10.01"),
          R"({"path": "file:///m/3b.flac", "info_missing": true})",
          track("/m/4.flac", R"(, "info": {"samplerate": "44100"})", "1.5"),
          track("/m/5.flac", R"(, "info": {"samplerate": "44100"})", "1.5")},
         {"-f", "utf8-image"},
         "trevalin: warning: the lengths of tracks 1, 5 are not whole numbers of CD frames (588 samples at 44.1 kHz): the "
         "image's INDEX times are rounded, and cutting the image at them does not give the tracks back exactly\n"},
        // The same selection in the other forms: nothing to warn about.
        {{track("/m/1.flac", R"(, "info": {"samplerate": "44100"})", "10.01"), track("/m/2.mp3")}, {}, ""},
        {{track("/m/CD1/a.flac"), track("/m/CD2/a.flac")}, {"-f", "utf8-image"}, ""},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.warnings);
        write_file(path("list.json"), track_list(r.tracks));
        std::vector<std::string> arguments{"--tracks", "list.json", "-o", "-"};
        arguments.insert(arguments.end(), r.options.begin(), r.options.end());
        const auto result = trevalin(arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, r.warnings);
        EXPECT_FALSE(result.out.empty());
    }
}

TEST_F(cli_warnings, the_same_file_twice) {
    make_wav(path("a.wav"), tone{44100, 44100, 440.0});
    const auto result = trevalin({"a.wav", "a.wav", "-o", "-"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "trevalin: warning: tracks 1, 2 are the same file, " + path("a.wav") +
                              ": the sheet places each copy after the one before, past the file's end\n");
}

TEST_F(cli_warnings, strict_refuses_with_status_4_and_writes_nothing) {
    write_file(path("list.json"), track_list({track("/m/1.flac"), track("/m/2.mp3")}));
    const auto refused = trevalin({"--tracks", "list.json", "-f", "utf8-image", "--strict", "-o", "sheet.cue"});
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.err.find("trevalin: warning: the files have 2 extensions"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.substr(refused.err.find('\n') + 1), "trevalin: 1 warning and --strict: nothing written\n");
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json"}));
    // Nothing to warn about: --strict writes.
    const auto written = trevalin({"--tracks", "list.json", "--strict", "-o", "sheet.cue"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.err, "trevalin: wrote 2 tracks to " + path("sheet.cue") + " (per-file sheet, UTF-8)\n");
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-q", "-o", "quiet.cue"}).err, "");
}

TEST_F(cli_warnings, a_sheet_without_album_title_is_named_after_the_first_tracks_folder) {
    std::filesystem::create_directories(path("Some Band: Live"));
    write_file(path("list.json"), track_list({track(path("Some Band: Live/1.flac"))}));
    const auto result = trevalin({"--tracks", "list.json", "-o", "./", "-f", "ansi"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err,
              "trevalin: the first track has no album title: the sheet is named after its folder, \"Some Band_ Live.cue\"\n"
              "trevalin: wrote 1 track to " + path("Some Band_ Live.cue") + " (per-file sheet, WINDOWS-1252)\n");
    EXPECT_EQ(read_back(read_file(path("Some Band_ Live.cue"))).tracks.at(0).file, "1.flac");
}

}  // namespace
}  // namespace cli_test
