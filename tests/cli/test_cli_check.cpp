// trevalin check over hand-written sheets, broken in every way it looks for, and --check on the
// sheet just written.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/audio_maker.h"
#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

class cli_check : public cli_test_base {
protected:
    void SetUp() override {
        make_wav(path("a.wav"), tone{44100, 44100, 440.0});         // 1 s, 75 CD frames
        make_wav(path("image.wav"), tone{44100 + 100, 44100, 440.0});  // not whole CD frames
    }
};

std::string hundred_tracks() {
    std::string sheet;
    for (int i = 1; i <= 100; ++i)
        sheet += "FILE \"a.wav\" WAVE\n  TRACK " + std::to_string(i) + " AUDIO\n    INDEX 01 00:00:00\n";
    return sheet;
}

TEST_F(cli_check, names_each_finding_with_its_line) {
    struct row {
        std::string sheet;
        std::vector<std::string> options;
        std::string findings;  // standard output, each line after "sheet.cue:"
    };
    const row rows[] = {
        {"REM GENRE Rock\r\nTITLE \"Album\"\r\nFILE \"a.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
         "  TRACK 02 AUDIO\r\n    INDEX 00 00:00:30\r\n    INDEX 01 00:00:40\r\n",
         {}, ""},
        {"FILE \"A.WAV\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n", {},
         "1: FILE \"A.WAV\" does not exist beside the sheet (\"a.wav\" differs only in letter case)\n"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:60\n  TRACK 02 AUDIO\n    INDEX 01 00:00:50\n"
         "  TRACK 03 AUDIO\n    INDEX 01 00:01:00\n",
         {},
         "5: INDEX 01 00:00:50 does not come after the index before it (00:00:60)\n"
         "7: INDEX 01 00:01:00 is past the end of \"a.wav\" (00:01:00)\n"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n  FOO BAR\n    INDEX 01 00:00:00\n", {},
         "3: libcue cannot parse this: bad characters 'FOOBAR'; syntax error\n"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Caf\xe9\"\n    INDEX 01 00:00:00\n", {},
         "3: not valid UTF-8 (an ANSI sheet? give its --codepage)\n"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Caf\xe9\"\n    INDEX 01 00:00:00\n", {"--codepage", "1252"}, ""},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"C:\\\"\n    INDEX 01 00:00:00\n", {},
         "3: a quoted value ends in a backslash, which libcue reads as an escaped quote\n"},
        {hundred_tracks(), {}, "299: more than 99 tracks: most programs that read cue sheets stop here\n"},
        {"FILE \"image.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:00:40\n", {},
         "1: the image \"image.wav\" is 44200 samples long, not a whole number of CD frames (588 samples at 44.1 kHz), as CD burning and FLAC's CD cue sheets need\n"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.sheet.substr(0, 200));
        write_file(path("sheet.cue"), r.sheet);
        std::vector<std::string> arguments{"check", "sheet.cue"};
        arguments.insert(arguments.end(), r.options.begin(), r.options.end());
        const auto result = trevalin(arguments);
        std::string expected;
        std::istringstream lines(r.findings);
        for (std::string line; std::getline(lines, line);) expected += "sheet.cue:" + line + "\n";
        EXPECT_EQ(result.out, expected);
        EXPECT_EQ(result.status, r.findings.empty() ? 0 : 4) << result.err;
    }
    std::filesystem::remove(path("sheet.cue"));
}

TEST_F(cli_check, an_unreadable_sheet_or_code_page_exits_2) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"check", "missing.cue"}, {"check", "."}, {"check", "a.wav", "--codepage", "klingon"},
          {"check"}}) {
        const auto result = trevalin(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back();
        EXPECT_NE(result.err, "");
    }
}

TEST_F(cli_check, check_after_writing_reports_on_the_written_sheet) {
    std::filesystem::create_directory(path("out"));
    const auto clean = trevalin({"a.wav", "image.wav", "--check", "-o", "a.cue"});
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out, "");
    // The album image is yet to be made: the sheet names a file that is not there.
    const auto image = trevalin({"a.wav", "--check", "-f", "ansi-image", "-o", "out/b.cue"});
    EXPECT_EQ(image.status, 4);
    EXPECT_EQ(image.out, "out/b.cue:1: FILE \"Image.wav\" does not exist beside the sheet\n");
    expected_findings = {"\"Image.wav\" does not exist beside the sheet"};
    EXPECT_EQ(trevalin({"a.wav", "--check", "-o", "-"}).status, 2);
}

}  // namespace
}  // namespace cli_test
