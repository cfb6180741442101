// Without --output on a terminal, the save dialog is a prompt there; reading shows progress there.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/cli/audio_maker.h"
#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

const char album[] = R"({"tracks": [
  {"path": "file:///music/a.flac", "length": 10, "fields": {"album": "Album X", "title": "One"}},
  {"path": "file:///music/b.flac", "length": 20, "fields": {"album": "Album X", "title": "Two"}}]})";

class cli_prompt : public cli_test_base {
protected:
    void SetUp() override {
        write_file(path("list.json"), album);
        // The sheets land beside the track list, away from the audio.
        expected_findings = {"does not exist beside the sheet", "libcue cannot parse this: bad characters 'oldsheet'"};
    }

    terminal_result on_terminal(const std::vector<std::string>& arguments, const std::vector<terminal_step>& steps) {
        return run_trevalin_on_terminal(arguments, dir.path().string(), steps);
    }
};

TEST_F(cli_prompt, shows_the_dialog_and_takes_the_proposal_and_a_filter) {
    const auto result = on_terminal({"--tracks", "list.json"}, {{"File name [Album X.cue]: ", "\n"},
                                                                {"Save as type [1]: ", "3\n"}});
    EXPECT_TRUE(result.all_steps_seen) << result.screen;
    EXPECT_EQ(result.status, 0) << result.screen;
    // Title, the four filters in order with the first preselected.
    EXPECT_NE(result.screen.find("Save Cuesheet\r\n"
                                 "  1) UTF-8 Cuesheet (*.cue)  [selected]\r\n"
                                 "  2) ANSI Cuesheet (*.cue)\r\n"
                                 "  3) UTF-8 Album Image Cuesheet (*.cue)\r\n"
                                 "  4) ANSI Album Image Cuesheet (*.cue)\r\n"),
              std::string::npos)
        << result.screen;
    const auto sheet = read_back(read_file(path("Album X.cue")));
    ASSERT_EQ(sheet.tracks.size(), 2u);
    EXPECT_EQ(sheet.tracks[1].file, "Image.flac");
    EXPECT_EQ(sheet.tracks[1].start_frames, 750);
}

TEST_F(cli_prompt, typed_name_gets_the_extension_and_format_preselects_a_filter) {
    const auto result = on_terminal({"--tracks", "list.json", "-f", "ansi-image"},
                                    {{"4) ANSI Album Image Cuesheet (*.cue)  [selected]", ""},
                                     {"File name [Album X.cue]: ", "nowhere/x\n"},
                                     {"cannot write nowhere/x.cue: the folder does not exist", ""},
                                     {"File name [Album X.cue]: ", "mine\n"},
                                     {"Save as type [4]: ", "7\n"},
                                     {"Please type a number from 1 to 4.", ""},
                                     {"Save as type [4]: ", "\n"}});
    EXPECT_TRUE(result.all_steps_seen) << result.screen;
    EXPECT_EQ(result.status, 0) << result.screen;
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "mine.cue"}));
    EXPECT_EQ(read_back(read_file(path("mine.cue"))).tracks.at(0).file, "Image.flac");
}

TEST_F(cli_prompt, replacing_a_file_needs_confirmation) {
    write_file(path("Album X.cue"), "old sheet");
    const auto declined = on_terminal({"--tracks", "list.json"},
                                      {{"File name [Album X.cue]: ", "\n"},
                                       {"Save as type [1]: ", "\n"},
                                       {"Album X.cue already exists.\r\nDo you want to replace it? [y/N] ", "n\n"}});
    EXPECT_TRUE(declined.all_steps_seen) << declined.screen;
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.screen.find("trevalin: Album X.cue already exists; not replaced"), std::string::npos);
    EXPECT_EQ(read_file(path("Album X.cue")), "old sheet");

    const auto confirmed = on_terminal({"--tracks", "list.json"},
                                       {{"File name [Album X.cue]: ", "\n"},
                                        {"Save as type [1]: ", "\n"},
                                        {"Do you want to replace it? [y/N] ", "y\n"}});
    EXPECT_EQ(confirmed.status, 0) << confirmed.screen;
    EXPECT_EQ(read_back(read_file(path("Album X.cue"))).tracks.size(), 2u);
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "Album X.cue"}));
}

TEST_F(cli_prompt, end_of_input_cancels_with_nothing_written) {
    const auto result = on_terminal({"--tracks", "list.json"}, {{"File name [Album X.cue]: ", "\x04"}});
    EXPECT_TRUE(result.all_steps_seen) << result.screen;
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json"}));

    // "y" typed, then Ctrl-D (which hands over the "y") and Ctrl-D again: a cancel, not a yes.
    write_file(path("Album X.cue"), "old sheet");
    const auto unfinished = on_terminal({"--tracks", "list.json"},
                                        {{"File name [Album X.cue]: ", "\n"},
                                         {"Save as type [1]: ", "\n"},
                                         {"Do you want to replace it? [y/N] ", "y\x04\x04"}});
    EXPECT_TRUE(unfinished.all_steps_seen) << unfinished.screen;
    EXPECT_EQ(unfinished.status, 1) << unfinished.screen;
    EXPECT_EQ(read_file(path("Album X.cue")), "old sheet");
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "Album X.cue"}));
}

TEST_F(cli_prompt, proposes_the_tracks_folder_and_edits_the_name_with_completion_and_home) {
    std::filesystem::create_directory(path("album"));
    make_wav(path("album/1.wav"), tone{4410, 44100, 440.0});
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
    ::setenv("HOME", dir.path().c_str(), 1);  // the program inherits it: "~" is the scratch folder
    // Tab completes "~/al" to the folder; two steps left put the "a" before "bc".
    const auto edited = on_terminal({"album"}, {{"File name [~/album/album.cue]: ", "~/al\t"},
                                                {"album/", "bc\x1b[D\x1b[Da\n"},
                                                {"Save as type [1]: ", "\n"}});
    EXPECT_TRUE(edited.all_steps_seen) << edited.screen;
    EXPECT_EQ(edited.status, 0) << edited.screen;
    EXPECT_EQ(read_back(read_file(path("album/abc.cue"))).tracks.at(0).file, "1.wav");
    // The proposal as it stands: beside the tracks.
    const auto taken = on_terminal({"album"}, {{"File name [~/album/album.cue]: ", "\n"}, {"Save as type [1]: ", "\n"}});
    EXPECT_EQ(taken.status, 0) << taken.screen;
    EXPECT_EQ(dir.entries(path("album")), (std::set<std::string>{"1.wav", "abc.cue", "album.cue"}));
    ::setenv("HOME", home.c_str(), 1);
}

TEST_F(cli_prompt, an_asked_for_prompt_proposes_the_output_path) {
    const auto result = on_terminal({"--tracks", "list.json", "--dialog", "prompt", "-o", "mine"},
                                    {{"File name [mine.cue]: ", "\n"}, {"Save as type [1]: ", "\n"}});
    EXPECT_TRUE(result.all_steps_seen) << result.screen;
    EXPECT_EQ(result.status, 0) << result.screen;
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "mine.cue"}));
}

TEST_F(cli_prompt, reading_files_shows_progress_unless_quiet) {
    std::filesystem::create_directory(path("dir"));
    for (const char* name : {"1.wav", "2.wav", "3.wav"}) make_wav(path(std::string("dir/") + name), tone{4410, 44100, 440.0});
    const auto shown = on_terminal({"dir", "-o", "a.cue"}, {});
    EXPECT_EQ(shown.status, 0) << shown.screen;
    EXPECT_NE(shown.screen.find("Reading 3/3 files"), std::string::npos) << shown.screen;
    EXPECT_NE(shown.screen.find("trevalin: wrote 3 tracks to " + path("a.cue") + " (per-file sheet, UTF-8)\r\n"),
              std::string::npos)
        << shown.screen;
    const auto quiet = on_terminal({"dir", "-o", "b.cue", "-q"}, {});
    EXPECT_EQ(quiet.status, 0) << quiet.screen;
    EXPECT_EQ(quiet.screen, "");
    // Standard error that is no terminal gets no progress either, only the closing line.
    const auto piped = trevalin({"dir", "-o", "c.cue"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "trevalin: wrote 3 tracks to " + path("c.cue") + " (per-file sheet, UTF-8)\n");
    EXPECT_EQ(read_file(path("a.cue")), read_file(path("c.cue")));
}

}  // namespace
}  // namespace cli_test
