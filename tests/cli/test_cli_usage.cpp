// The command's options and exit statuses, driven from outside as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <thread>

#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

const char two_tracks[] = R"({"tracks": [
  {"path": "file:///music/a.flac", "length": 10, "fields": {"album": "Live: A/B", "title": "One", "artist": "X"}},
  {"path": "file:///music/b.flac", "length": 20, "fields": {"album": "Live: A/B", "title": "Two", "artist": "X"}}]})";

const char per_file_sheet[] =
    "PERFORMER \"X\"\r\n"
    "TITLE \"Live: A/B\"\r\n"
    "FILE \"a.flac\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n"
    "    TITLE \"One\"\r\n"
    "    INDEX 01 00:00:00\r\n"
    "FILE \"b.flac\" WAVE\r\n"
    "  TRACK 02 AUDIO\r\n"
    "    TITLE \"Two\"\r\n"
    "    INDEX 01 00:00:00\r\n";

const char album_image_sheet[] =
    "PERFORMER \"X\"\r\n"
    "TITLE \"Live: A/B\"\r\n"
    "FILE \"Image.flac\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n"
    "    TITLE \"One\"\r\n"
    "    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n"
    "    TITLE \"Two\"\r\n"
    "    INDEX 01 00:10:00\r\n";

class cli_usage : public cli_test_base {
protected:
    void SetUp() override {
        write_file(path("list.json"), two_tracks);
        expected_findings = {"does not exist beside the sheet", "libcue cannot parse this: bad characters 'oldsheet'"};
    }
};

TEST_F(cli_usage, writes_to_standard_output_for_dash_and_creates_no_file) {
    const auto result = trevalin({"--tracks", "list.json", "-o", "-"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, per_file_sheet);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json"}));
    const auto sheet = read_back(result.out);
    ASSERT_EQ(sheet.tracks.size(), 2u);
    EXPECT_EQ(sheet.title, "Live: A/B");
    EXPECT_EQ(sheet.tracks[1].title, "Two");
}

TEST_F(cli_usage, format_selects_the_dialog_filter) {
    const auto image = trevalin({"--tracks", "list.json", "-o", "-", "--format", "utf8-image"});
    EXPECT_EQ(image.status, 0) << image.err;
    EXPECT_EQ(image.out, album_image_sheet);
    const auto sheet = read_back(image.out);
    ASSERT_EQ(sheet.tracks.size(), 2u);
    EXPECT_EQ(sheet.tracks[1].file, "Image.flac");
    EXPECT_EQ(sheet.tracks[1].start_frames, 750);
    // All ASCII: the ANSI forms are the same bytes.
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "-", "-f", "ansi"}).out, per_file_sheet);
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "-", "-f", "ansi-image"}).out, album_image_sheet);
    // Names as people spell them.
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "-", "-f", "UTF-8-Image"}).out, album_image_sheet);
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "-", "-f", "utf-8"}).out, per_file_sheet);
}

TEST_F(cli_usage, without_output_the_sheet_goes_to_standard_output_when_it_is_no_terminal) {
    const auto listed = trevalin({"--tracks", "list.json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, per_file_sheet);
    EXPECT_EQ(listed.err, "");
    // --dialog none answers the same way: it only rules out asking.
    EXPECT_EQ(trevalin({"--tracks", "list.json", "--dialog", "none"}).out, per_file_sheet);
    // Standard input can then hold the track list.
    const auto piped = trevalin({"--tracks", "-", "-f", "utf8-image"}, two_tracks);
    EXPECT_EQ(piped.out, album_image_sheet);
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json"}));
}

TEST_F(cli_usage, output_path_gets_the_default_extension_only_when_it_has_none) {
    struct row {
        std::string typed;
        std::string written;
    };
    for (const row& r : {row{"sheet", "sheet.cue"}, row{"sheet.", "sheet.cue"}, row{"sheet.txt", "sheet.txt"},
                         row{"my.sheet", "my.sheet"}}) {
        SCOPED_TRACE(r.typed);
        std::filesystem::remove(path(r.written));
        const auto result = trevalin({"--tracks", "list.json", "-o", r.typed});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(read_file(path(r.written)), per_file_sheet);
    }
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "sheet.cue", "sheet.txt", "my.sheet"}));
}

TEST_F(cli_usage, output_directory_gets_the_proposed_name_inside_it) {
    std::filesystem::create_directory(path("out"));
    const auto result = trevalin({"--tracks", "list.json", "-o", "out"});
    EXPECT_EQ(result.status, 0) << result.err;
    // The album "Live: A/B" with the characters unsafe in file names replaced.
    EXPECT_EQ(dir.entries(path("out")), (std::set<std::string>{"Live_ A_B.cue"}));
    EXPECT_EQ(read_file(path("out/Live_ A_B.cue")), per_file_sheet);
    // A trailing slash and a file URL name the same folder.
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "out/", "--overwrite"}).status, 0);
    EXPECT_EQ(trevalin({"--tracks", "list.json", "-o", "file://" + path("out"), "--overwrite"}).status, 0);
    EXPECT_EQ(dir.entries(path("out")), (std::set<std::string>{"Live_ A_B.cue"}));
}

TEST_F(cli_usage, existing_file_is_replaced_only_with_overwrite) {
    write_file(path("sheet.cue"), "old sheet");
    ::chmod(path("sheet.cue").c_str(), 0600);

    const auto refused = trevalin({"--tracks", "list.json", "-o", "sheet.cue"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "trevalin: sheet.cue already exists; not replaced (--overwrite replaces it)\n");
    EXPECT_EQ(read_file(path("sheet.cue")), "old sheet");

    // The same refusal when the existing file is only found through the proposed name.
    write_file(path("Live_ A_B.cue"), "old sheet");
    const auto refused_in_folder = trevalin({"--tracks", "list.json", "-o", "."});
    EXPECT_EQ(refused_in_folder.status, 1);
    EXPECT_EQ(refused_in_folder.err, "trevalin: ./Live_ A_B.cue already exists; not replaced (--overwrite replaces it)\n");
    EXPECT_EQ(read_file(path("Live_ A_B.cue")), "old sheet");
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "sheet.cue", "Live_ A_B.cue"}));

    const auto replaced = trevalin({"--tracks", "list.json", "-o", "sheet.cue", "--overwrite"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(read_file(path("sheet.cue")), per_file_sheet);
    struct stat status;
    ASSERT_EQ(::stat(path("sheet.cue").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "sheet.cue", "Live_ A_B.cue"}));
}

TEST_F(cli_usage, help_exits_0_on_standard_output) {
    const auto help = trevalin({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--tracks", "--output", "--format", "--overwrite", "--codepage", "--quiet", "--strict",
                               "--recursive", "--sort", "--per-disc", "--keep-going", "--map", "utf8-image", "Examples:",
                               "Exit status"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    // A developer's option: out of the help, still taken.
    EXPECT_EQ(help.out.find("--component"), std::string::npos);
}

// The command's version and build, then what the loaded component's version record says.
TEST_F(cli_usage, version_reports_the_command_and_the_loaded_component) {
    const std::string command_line = R"(trevalin 0\.4\.4( \(git [0-9a-f]+(-dirty)?\))?\n)";
    struct row {
        std::vector<std::string> arguments;
        int status;
        std::string out;  // a pattern
        std::string err;
    };
    const row rows[] = {
        {{"--version"}, 0, command_line + R"(component: Trevalin 0\.4\.4 \(/.*/libtrevalin\.so\)\n)", ""},
        {{"--version", "--component", FAKE_COMPONENT_PATH}, 3, command_line,
         std::string("trevalin: component ") + FAKE_COMPONENT_PATH + " keeps no version record\n"},
    };
    for (const row& r : rows) {
        const auto result = trevalin(r.arguments);
        EXPECT_EQ(result.status, r.status) << r.arguments.back();
        EXPECT_TRUE(std::regex_match(result.out, std::regex(r.out))) << result.out;
        EXPECT_EQ(result.err, r.err);
    }
}

// Every usage error: status 2, the reason on standard error, and nothing written anywhere.
TEST_F(cli_usage, usage_errors_exit_2_and_write_nothing) {
    write_file(path("empty.json"), R"({"tracks": []})");
    std::filesystem::create_directory(path("no audio"));
    write_file(path("no audio/notes.txt"), "not audio");
    struct row {
        std::vector<std::string> arguments;
        std::string message;  // standard error starts with it
    };
    const row rows[] = {
        {{}, "trevalin: no tracks: name audio files or directories, or a JSON track list with --tracks\n"},
        {{"a.flac", "--tracks", "list.json", "-o", "-"}, "trevalin: give either audio files or --tracks, not both\n"},
        {{"--tracks", "list.json", "-o", "-", "--bogus"}, "trevalin: The following argument was not expected: --bogus\n"},
        {{"--tracks", "list.json", "-o", "-", "-f", "utf16"},
         "trevalin: unknown format \"utf16\" (expected utf8, ansi, utf8-image or ansi-image)\n"},
        {{"--tracks", "list.json", "-o", "-", "--codepage", "klingon"}, "trevalin: unknown code page \"klingon\""},
        {{"--tracks", "list.json", "-o", "-", "--codepage", "99999"}, "trevalin: unknown code page \"99999\""},
        {{"--tracks", "list.json", "-o", "-", "-f", "ansi", "--codepage", "UTF-16"},
         "trevalin: code page \"UTF-16\" cannot be an ANSI code page: it does not keep ASCII text as it is\n"},
        {{"--tracks", "list.json", "--dialog", "gtk"},
         "trevalin: cannot show the save dialog: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"},
        {{"--tracks", "list.json", "--dialog", "prompt"}, "trevalin: no terminal to ask where to write\n"},
        {{"--tracks", "list.json", "--dialog", "window"}, "trevalin: --dialog: window not in {gtk,prompt,none}"},
        {{"--tracks", "missing.json", "-o", "-"}, "trevalin: missing.json: No such file or directory\n"},
        {{"--tracks", "empty.json", "-o", "-"}, "trevalin: empty.json: the track list holds no tracks\n"},
        {{"missing.flac", "-o", "-"}, "trevalin: missing.flac: No such file or directory\n"},
        {{"no audio", "-o", "-"}, "trevalin: no audio files in the selection (-r searches subfolders too)\n"},
        {{"no audio", "--sort", "size", "-o", "-"}, "trevalin: unknown order \"size\" (expected given, name or tags)\n"},
        {{"no audio", "--map", "COMPOSER", "-o", "-"}, "trevalin: --map COMPOSER: expected TAG=FIELD, both named\n"},
        {{"--tracks", "list.json", "--per-disc", "-o", "-"},
         "trevalin: --per-disc applies to audio files and folders, not to a track list (--tracks)\n"},
        {{"no audio/notes.txt", "-o", "-"}, "trevalin: no audio/notes.txt: not an audio file that can be read\n"},
        {{"--tracks", "list.json", "-o", "nowhere/sheet.cue"},
         "trevalin: cannot write nowhere/sheet.cue: the folder does not exist\n"},
        {{"--tracks", "list.json", "-o", "nowhere/"}, "trevalin: cannot write nowhere/: the folder does not exist\n"},
        {{"--tracks", "list.json", "-o", "http://example.invalid/sheet.cue"},
         "trevalin: cannot write http://example.invalid/sheet.cue: not a local path\n"},
        {{"--tracks", "list.json", "-o", "bad\xff.cue"}, "trevalin: cannot write bad\\xff.cue: the path is not valid UTF-8\n"},
        {{"--tracks", "list.json", "-o", "-", "--component", "missing.so"}, "trevalin: --component missing.so: no such file\n"},
    };
    const auto before = entries();
    for (const row& r : rows) {
        std::string command;
        for (const auto& argument : r.arguments) command += argument + " ";
        SCOPED_TRACE(command);
        const auto result = trevalin(r.arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err.substr(0, r.message.size()), r.message);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(entries(), before);
    }
}

TEST_F(cli_usage, an_output_path_longer_than_the_component_takes_is_refused) {
    // Within the dialog's 1024 UTF-16 units but over the 2047 bytes the component keeps: cutting
    // the path would write the sheet somewhere else.
    std::string euros;
    for (int i = 0; i < 84; ++i) euros += "\xe2\x82\xac";  // 84 units, 252 bytes
    std::string folder = dir.path().string();
    for (int i = 0; i < 8; ++i) folder += "/" + euros;
    std::filesystem::create_directories(folder);
    const std::string target = folder + "/" + euros + ".cue";
    ASSERT_GT(target.size(), 2047u);
    const auto result = trevalin({"--tracks", "list.json", "-o", target});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "trevalin: cannot write " + target + ": the path is too long (at most 2047 bytes)\n");
    EXPECT_TRUE(dir.entries(folder).empty());
}

TEST_F(cli_usage, failed_exports_exit_3_with_the_reason) {
    // Standard output that cannot take the sheet.
    run_settings full;
    full.directory = dir.path().string();
    full.stdout_file = "/dev/full";
    const auto no_space = run_trevalin({"--tracks", "list.json", "-o", "-"}, full);
    EXPECT_EQ(no_space.status, 3);
    EXPECT_EQ(no_space.err, "trevalin: Cannot write to standard output: No space left on device\n");

    // A device written as it is: neither "/dev/full.cue" nor a replaced /dev/full.
    const auto device = trevalin({"--tracks", "list.json", "-o", "/dev/full"});
    EXPECT_EQ(device.status, 3);
    EXPECT_EQ(device.err, "trevalin: Cannot write /dev/full: No space left on device\n");
    EXPECT_FALSE(std::filesystem::exists("/dev/full.cue"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));

    // A library that is no component, and a component without the command.
    const auto not_component = trevalin({"--tracks", "list.json", "-o", "-", "--component", NOT_A_COMPONENT_PATH});
    EXPECT_EQ(not_component.status, 3);
    EXPECT_NE(not_component.err.find("undefined symbol: orvanta_get_interface"), std::string::npos) << not_component.err;
    const auto no_command = trevalin({"--tracks", "list.json", "-o", "-", "--component", FAKE_COMPONENT_PATH});
    EXPECT_EQ(no_command.status, 3);
    EXPECT_EQ(no_command.err, "trevalin: the component offers no \"Create cuesheet...\" command for this selection\n");
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json"}));
}

TEST_F(cli_usage, devices_and_fifos_are_written_as_named) {
    const auto device = trevalin({"--tracks", "list.json", "-o", "/dev/stdout"});
    EXPECT_EQ(device.status, 0) << device.err;
    EXPECT_EQ(device.out, per_file_sheet);
    EXPECT_FALSE(std::filesystem::exists("/dev/stdout.cue"));

    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = read_file(path("pipe")); });
    const auto fifo = trevalin({"--tracks", "list.json", "-o", "pipe"});
    reader.join();
    EXPECT_EQ(fifo.status, 0) << fifo.err;
    EXPECT_EQ(received, per_file_sheet);
    EXPECT_EQ(entries(), (std::set<std::string>{"list.json", "pipe"}));
}

TEST_F(cli_usage, track_list_from_standard_input) {
    const auto result = trevalin({"--tracks", "-", "-o", "-"}, two_tracks);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, per_file_sheet);
    const auto broken = trevalin({"--tracks", "-", "-o", "-"}, "{\"tracks\": [");
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.err.substr(0, 19), "trevalin: <stdin>:1");
}

}  // namespace
}  // namespace cli_test
