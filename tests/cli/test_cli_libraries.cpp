// Albums the way people keep them, generated as real audio files: folders of disc folders, two
// discs in one folder, badly named files in tag order, broken files among good ones, and the tag
// names taggers write.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "tests/cli/audio_maker.h"
#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

namespace fs = std::filesystem;

const tone short_tone{4410, 44100, 440.0};

class cli_libraries : public cli_test_base {
protected:
    void make(const std::string& name, const tag_list& tags) {
        fs::create_directories(fs::path(path(name)).parent_path());
        make_tagged_audio(path(name), short_tone, tags, path("."));
    }
};

std::vector<std::string> titles_of(const std::string& sheet) {
    std::vector<std::string> titles;
    for (const auto& track : read_back(sheet).tracks) titles.push_back(track.title);
    return titles;
}

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

using titles = std::vector<std::string>;

// multidisc/{Z bonus, CD1/{2 b, 10 a, back -> ..}, CD2/1 c}: files before subfolders, natural
// order, the loop reported; one sheet per folder, beside its tracks or named apart elsewhere.
TEST_F(cli_libraries, nested_disc_folders_searched_recursively_give_a_sheet_per_folder) {
    for (const char* name : {"Z bonus", "CD1/2 b", "CD1/10 a", "CD2/1 c"})
        make(std::string("multidisc/") + name + ".flac", {{"TITLE", name}, {"ALBUM", "Multi"}});
    fs::create_directory_symlink("..", path("multidisc/CD1/back"));

    const auto flat = trevalin({"multidisc", "-o", "-"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    EXPECT_EQ(titles_of(flat.out), titles{"Z bonus"});

    const auto all = trevalin({"-r", "multidisc", "-o", "-"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(titles_of(all.out), (titles{"Z bonus", "CD1/2 b", "CD1/10 a", "CD2/1 c"}));
    EXPECT_EQ(all.err, "trevalin: multidisc/CD1/back: a loop of symbolic links back to multidisc, not followed\n");

    // Under --strict the loop left out counts as a warning: nothing written.
    const auto strict = trevalin({"-r", "--strict", "multidisc", "-o", "-"});
    EXPECT_EQ(strict.status, 4);
    EXPECT_EQ(strict.out, "");

    const auto beside = trevalin({"-r", "--per-disc", "multidisc", "-o", "multidisc"});
    ASSERT_EQ(beside.status, 0) << beside.err;
    const std::string root = fs::canonical(path("multidisc")).string();
    EXPECT_NE(beside.err.find("trevalin: wrote 3 sheets: " + root + "/Multi.cue (1 track), " + root +
                              "/CD1/Multi.cue (2 tracks), " + root + "/CD2/Multi.cue (1 track) (per-file sheets, UTF-8)\n"),
              std::string::npos)
        << beside.err;
    EXPECT_EQ(titles_of(read_file(path("multidisc/CD1/Multi.cue"))), (titles{"CD1/2 b", "CD1/10 a"}));
    EXPECT_EQ(titles_of(read_file(path("multidisc/CD2/Multi.cue"))), titles{"CD2/1 c"});

    fs::create_directory(path("out"));
    // Sheets away from their tracks: their FILE lines name nothing beside them.
    expected_findings = {"does not exist beside the sheet"};
    const auto elsewhere = trevalin({"-r", "--per-disc", "-q", "multidisc", "-o", "out"});
    ASSERT_EQ(elsewhere.status, 0) << elsewhere.err;
    EXPECT_EQ(dir.entries(path("out")),
              (std::set<std::string>{"Multi (Disc 1).cue", "Multi (Disc 2).cue", "Multi (Disc 3).cue"}));
    EXPECT_EQ(titles_of(read_file(path("out/Multi (Disc 3).cue"))), titles{"CD2/1 c"});

    const auto one_file = trevalin({"-r", "--per-disc", "multidisc", "-o", "one.cue"});
    EXPECT_EQ(one_file.status, 2);
    EXPECT_EQ(one_file.err, "trevalin: multidisc/CD1/back: a loop of symbolic links back to multidisc, not followed\n"
                            "trevalin: --per-disc finds 3 discs, but -o one.cue names one file: give a folder, or - "
                            "for standard output\n");
    EXPECT_FALSE(fs::exists(path("one.cue")));
}

// Two discs in one folder, named against their tag order.
TEST_F(cli_libraries, tags_order_a_flat_two_disc_folder_and_split_it_by_disc_number) {
    struct file {
        const char* name;
        const char* disc;
        const char* track;
    };
    for (const file& f : {file{"a", "2/2", "2"}, file{"b", "1/2", "10/12"}, file{"c", "2", "1"}, file{"d", "1", "2"}})
        make(std::string("flat/") + f.name + ".flac",
             {{"TITLE", f.name}, {"ALBUM", "Flat"}, {"DISCNUMBER", f.disc}, {"TRACKNUMBER", f.track}});
    make("untagged.flac", {{"TITLE", "untagged"}, {"ALBUM", "Flat"}});

    const auto by_tags = trevalin({"--sort", "tags", "untagged.flac", "flat", "-o", "-"});
    ASSERT_EQ(by_tags.status, 0) << by_tags.err;
    EXPECT_EQ(titles_of(by_tags.out), (titles{"d", "b", "c", "a", "untagged"}));
    const auto by_name = trevalin({"--sort", "name", "flat/d.flac", "untagged.flac", "flat", "-o", "-"});
    EXPECT_EQ(titles_of(by_name.out), (titles{"a", "b", "c", "d", "d", "untagged"}));

    const auto discs = trevalin({"--per-disc", "--sort", "tags", "flat", "-o", "flat"});
    ASSERT_EQ(discs.status, 0) << discs.err;
    EXPECT_EQ(titles_of(read_file(path("flat/Flat (Disc 1).cue"))), (titles{"d", "b"}));
    EXPECT_EQ(titles_of(read_file(path("flat/Flat (Disc 2).cue"))), (titles{"c", "a"}));

    const auto piped = trevalin({"--per-disc", "flat", "-o", "-"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(count_of(piped.out, "TITLE \"Flat\"\r\n"), 2u);
    EXPECT_EQ(piped.err, "trevalin: wrote 2 sheets to standard output\n");

    // The first disc's sheet is there and not replaced; the second disc goes on regardless.
    fs::remove(path("flat/Flat (Disc 2).cue"));
    const auto worst = trevalin({"--per-disc", "flat", "-o", "flat"});
    EXPECT_EQ(worst.status, 1);
    const std::string folder = fs::canonical(path("flat")).string();
    EXPECT_NE(worst.err.find("Flat (Disc 1).cue already exists"), std::string::npos) << worst.err;
    EXPECT_NE(worst.err.find("trevalin: disc 1 (" + folder + "): no sheet written\n"), std::string::npos) << worst.err;
    EXPECT_NE(worst.err.find("trevalin: wrote 2 tracks to " + folder + "/Flat (Disc 2).cue (per-file sheet, UTF-8)\n"),
              std::string::npos)
        << worst.err;
    EXPECT_TRUE(fs::exists(path("flat/Flat (Disc 2).cue")));
}

TEST_F(cli_libraries, unreadable_files_stop_the_run_or_are_left_out_with_keep_going) {
    make("mixed/01 good.flac", {{"TITLE", "one"}});
    make("mixed/04 good.flac", {{"TITLE", "four"}});
    const std::string whole = read_file(path("mixed/01 good.flac"));
    write_file(path("mixed/02 truncated.flac"), whole.substr(0, 60));
    write_file(path("mixed/03 text.ogg"), "not audio at all");
    const std::string problems = "trevalin: mixed/02 truncated.flac: not an audio file that can be read\n"
                                 "trevalin: mixed/03 text.ogg: not an audio file that can be read\n";

    const auto stopped = trevalin({"mixed", "missing.flac", "-o", "-"});
    EXPECT_EQ(stopped.status, 2);
    EXPECT_EQ(stopped.out, "");
    EXPECT_EQ(stopped.err, "trevalin: missing.flac: No such file or directory\n" + problems +
                               "trevalin: 3 files cannot be read; nothing written (--keep-going leaves them out)\n");

    const auto going = trevalin({"--keep-going", "mixed", "-o", "-"});
    ASSERT_EQ(going.status, 0) << going.err;
    EXPECT_EQ(titles_of(going.out), (titles{"one", "four"}));
    EXPECT_EQ(going.err, "trevalin: left out mixed/02 truncated.flac: not an audio file that can be read\n"
                         "trevalin: left out mixed/03 text.ogg: not an audio file that can be read\n");

    // Under --strict the files left out count as warnings: nothing written.
    const auto strict = trevalin({"--keep-going", "--strict", "mixed", "-o", "-"});
    EXPECT_EQ(strict.status, 4);
    EXPECT_EQ(strict.out, "");
    EXPECT_NE(strict.err.find("trevalin: 2 warnings and --strict: nothing written\n"), std::string::npos) << strict.err;

    const auto nothing = trevalin({"--keep-going", "mixed/03 text.ogg", "-o", "-"});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("trevalin: no audio files in the selection\n"), std::string::npos) << nothing.err;
}

// Root reads every folder, so the command runs as an unprivileged user when the tests run as root.
TEST_F(cli_libraries, an_unreadable_subfolder_is_reported_and_left_out) {
    make("lib/1 open.flac", {{"TITLE", "open"}});
    make("lib/locked/2 hidden.flac", {{"TITLE", "hidden"}});
    fs::permissions(path("lib/locked"), fs::perms::none);
    std::vector<std::string> argv;
    if (::geteuid() == 0) argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    argv.insert(argv.end(), {TREVALIN_CLI_PATH, "-r", "lib", "-o", "-"});
    run_settings settings;
    settings.directory = dir.path().string();
    const auto result = run_program(argv, settings);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(titles_of(result.out), titles{"open"});
    EXPECT_EQ(result.err, "trevalin: lib/locked: Permission denied, not followed\n");
}

// One file per case and format; a single track makes every field it has album-wide, so each
// mapped tag shows in the header.
TEST_F(cli_libraries, tag_names_taggers_write_reach_the_sheet_lines) {
    struct mapping_case {
        const char* name;
        tag_list tags;
        std::vector<std::string> options;
        std::string header;  // everything before the FILE line
        bool m4a;            // TagLib reads these names in an MP4 file
    };
    const mapping_case cases[] = {
        {"composer catalognumber albumartist",
         {{"COMPOSER", "Bach"}, {"CATALOGNUMBER", "CAT-1"}, {"ALBUMARTIST", "Choir"}},
         {},
         "CATALOG CAT-1\r\nSONGWRITER \"Bach\"\r\nPERFORMER \"Choir\"\r\n",
         true},
        {"own names win", {{"COMPOSER", "Bach"}, {"SONGWRITER", "Anna"}, {"CATALOG", "K1"}, {"BARCODE", "123"}},
         {}, "CATALOG K1\r\nSONGWRITER \"Anna\"\r\n", false},
        {"barcode", {{"BARCODE", "0123"}}, {}, "CATALOG 0123\r\n", true},
        {"album artist spelt apart", {{"ALBUM ARTIST", "Band"}}, {}, "PERFORMER \"Band\"\r\n", false},
        {"album_artist", {{"album_artist", "Band"}}, {}, "PERFORMER \"Band\"\r\n", true},
        {"user mapping", {{"COMPOSER", "Bach"}, {"LABELNO", "L-7"}, {"CATALOGNUMBER", "CAT-1"}},
         {"--map", "COMPOSER=comment", "--map", "labelno=catalog"}, "REM COMMENT Bach\r\nCATALOG L-7\r\n", false},
        {"user mapping in mp4", {{"COMPOSER", "Bach"}}, {"--map", "COMPOSER=comment"}, "REM COMMENT Bach\r\n", true},
    };
    for (const char* format : {"flac", "mp3", "m4a"}) {
        for (const mapping_case& c : cases) {
            if (std::string(format) == "m4a" && !c.m4a) continue;
            SCOPED_TRACE(std::string(format) + ": " + c.name);
            const std::string name = std::string(c.name) + "." + format;
            make(name, c.tags);
            std::vector<std::string> arguments = c.options;
            arguments.insert(arguments.end(), {name, "-o", "-"});
            const auto result = trevalin(arguments);
            ASSERT_EQ(result.status, 0) << result.err;
            EXPECT_EQ(result.out.substr(0, result.out.find("FILE ")), c.header);
            read_back(result.out);
        }
    }
}

}  // namespace
}  // namespace cli_test
