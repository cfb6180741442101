// Real audio files through the command: every format's tags, exact lengths, a directory's order,
// and album images that other tools split and import at the written offsets.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/audio_maker.h"
#include "tests/cli/cli_fixture.h"

namespace cli_test {
namespace {

namespace fs = std::filesystem;

class cli_audio_files : public cli_test_base {
protected:
    std::string scratch() const { return path("."); }

    void make(const std::string& name, const tone& sound, const tag_list& tags) {
        make_tagged_audio(path(name), sound, tags, scratch());
    }
};

struct format_case {
    const char* file;
    const char* name;
    bool several_values;  // the encoder keeps repeated tags
    bool replaygain;      // the encoder writes free-form tags where the format keeps ReplayGain
};

// A directory of one file per format; its order comes from the leading numbers.
const format_case formats[] = {
    {"1 flac.flac", "FLAC", true, true},     {"2 vorbis.ogg", "Vorbis", true, true},
    {"3 opus.opus", "Opus", true, true},     {"4 mp3.mp3", "MP3", false, true},
    {"5 aac.m4a", "M4A", false, true},       {"6 wave.wav", "WAV", false, false},
    {"7 aiff.aiff", "AIFF", false, true},    {"8 wavpack.wv", "WavPack", false, true},
};

TEST_F(cli_audio_files, every_format_gives_its_tags_and_replaygain) {
    fs::create_directory(path("album"));
    for (const format_case& f : formats) {
        const std::string name = f.name;
        make(std::string("album/") + f.file, tone{22050, 44100, 440.0},
             {{"TITLE", name + " Títle"},
              {"ARTIST", name + " Ärtist"},
              {"ALBUM", "Formats"},
              {"GENRE", "Rock"},
              {"GENRE", "Pop"},
              {"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"},
              {"REPLAYGAIN_TRACK_PEAK", "0.980000"},
              {"REPLAYGAIN_ALBUM_GAIN", "-7.25 dB"},
              {"REPLAYGAIN_ALBUM_PEAK", "1.000000"}});
    }
    const auto result = trevalin({"album", "-o", "-"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto sheet = read_back(result.out);
    EXPECT_EQ(sheet.title, "Formats");
    // The album values of the first track (libcue keeps the number of a gain, without "dB").
    EXPECT_EQ(sheet.album_gain, "-7.25");
    EXPECT_EQ(sheet.album_peak, "1.000000");
    ASSERT_EQ(sheet.tracks.size(), std::size(formats));
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        const format_case& f = formats[i];
        SCOPED_TRACE(f.name);
        EXPECT_EQ(sheet.tracks[i].file, f.file);
        EXPECT_EQ(sheet.tracks[i].title, std::string(f.name) + " Títle");
        EXPECT_EQ(sheet.tracks[i].performer, std::string(f.name) + " Ärtist");
        EXPECT_EQ(sheet.tracks[i].start_frames, 0);
        EXPECT_EQ(sheet.tracks[i].track_gain, f.replaygain ? "-6.50" : "");
        // Opus keeps no peak of its own, but the comment is a comment like any other.
        EXPECT_EQ(sheet.tracks[i].track_peak, f.replaygain ? "0.980000" : "");
    }
    // The genres differ between the formats that keep both values and the others: not album-wide.
    EXPECT_EQ(result.out.find("GENRE"), std::string::npos);
    // ReplayGain tags become the sheet's ReplayGain lines, never fields.
    EXPECT_EQ(result.out.find("REPLAYGAIN_TRACK_GAIN=\""), std::string::npos);

    // Only the formats that keep several values: one genre line with both, in order.
    const auto several = trevalin({"album/1 flac.flac", "album/2 vorbis.ogg", "album/3 opus.opus", "-o", "-"});
    ASSERT_EQ(several.status, 0) << several.err;
    EXPECT_EQ(several.out.substr(0, 26), "REM GENRE Rock, Pop\r\nTITLE");
    EXPECT_EQ(read_back(several.out).tracks.size(), 3u);
}

// 59683 samples at 44.1 kHz are 101.5017 frames, 64961 at 48 kHz 101.5016: both round to 102,
// while the length in whole milliseconds (1353 ms, 101.475 frames) would give 101.
TEST_F(cli_audio_files, album_image_offsets_come_from_exact_lengths) {
    const tag_list none;
    make("1.flac", tone{59683, 44100, 440.0}, none);
    make("2.flac", tone{4410, 44100, 550.0}, none);
    make("3.wav", tone{64961, 48000, 440.0}, none);
    make("4.wav", tone{4800, 48000, 550.0}, none);
    const auto result = trevalin({"1.flac", "2.flac", "3.wav", "4.wav", "-o", "-", "-f", "utf8-image"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "FILE \"Image.flac\" WAVE\r\n"
              "  TRACK 01 AUDIO\r\n"
              "    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n"
              "    INDEX 01 00:01:27\r\n"
              "FILE \"Image.wav\" WAVE\r\n"
              "  TRACK 03 AUDIO\r\n"
              "    INDEX 01 00:00:00\r\n"
              "  TRACK 04 AUDIO\r\n"
              "    INDEX 01 00:01:27\r\n");
    const auto sheet = read_back(result.out);
    ASSERT_EQ(sheet.tracks.size(), 4u);
    EXPECT_EQ(sheet.tracks[1].start_frames, cd_frames(59683, 44100));
    EXPECT_EQ(sheet.tracks[3].start_frames, cd_frames(64961, 48000));
    EXPECT_EQ(sheet.tracks[3].file, "Image.wav");
}

TEST_F(cli_audio_files, a_directory_adds_its_audio_files_in_name_order) {
    fs::create_directory(path("dir"));
    fs::create_directory(path("dir/sub"));
    const tone short_tone{4410, 44100, 440.0};
    for (const char* name : {"10 ten.flac", "2 two.flac", "1 one.flac", ".hidden.flac", "sub/3 three.flac"}) {
        make(std::string("dir/") + name, short_tone, {{"TITLE", name}});
    }
    write_file(path("dir/notes.txt"), "not audio");
    make("extra.flac", short_tone, {{"TITLE", "extra"}});

    // Arguments keep their order; the directory stands for its own files, in natural name order.
    const auto result = trevalin({"extra.flac", "dir", "extra.flac", "-o", "-"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto sheet = read_back(result.out);
    std::vector<std::string> titles;
    for (const auto& track : sheet.tracks) titles.push_back(track.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"extra", "1 one.flac", "2 two.flac", "10 ten.flac", "extra"}));
}

// Tracks of whole CD frames, joined into one image: shntool cuts it at the written offsets and
// gets every track's samples back. The last track may end anywhere.
TEST_F(cli_audio_files, shntool_splits_the_album_image_into_the_original_tracks) {
    const long lengths[] = {588 * 75, 588 * 101, 588 * 60 + 123};
    expected_findings = {"the image \"Image.wav\" is 138891 samples long"};
    std::vector<std::string> tracks;
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        tracks.push_back("t" + std::to_string(i + 1) + ".wav");
        make_wav(path(tracks.back()), tone{static_cast<std::size_t>(lengths[i]), 44100, 300.0 + 100.0 * i});
    }
    std::vector<std::string> arguments = tracks;
    arguments.insert(arguments.end(), {"-f", "utf8-image", "-o", "sheet"});
    const auto result = trevalin(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    const auto sheet = read_back(read_file(path("sheet.cue")));
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[2].start_frames, 75 + 101);

    std::vector<std::string> join{"sox"};
    for (const auto& track : tracks) join.push_back(path(track));
    join.push_back(path("Image.wav"));
    run_tool(join);
    fs::create_directory(path("split"));
    run_tool({"shntool", "split", "-q", "-f", path("sheet.cue"), "-d", path("split"), "-o", "wav", path("Image.wav")});
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE(tracks[i]);
        const std::string original = decoded_samples(path(tracks[i]));
        const std::string piece = decoded_samples(path("split/split-track0" + std::to_string(i + 1) + ".wav"));
        EXPECT_EQ(original.size(), static_cast<std::size_t>(lengths[i]) * 4);
        EXPECT_TRUE(piece == original) << "split gives " << piece.size() << " bytes";
    }
}

// A FLAC image of CD audio takes the album-image sheet as its embedded cue sheet, offsets intact.
TEST_F(cli_audio_files, metaflac_imports_the_album_image_sheet) {
    const long lengths[] = {588 * 76, 588 * 52, 588 * 100};  // none a whole number of milliseconds
    std::vector<std::string> join{"sox"};
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        const std::string name = "t" + std::to_string(i + 1) + ".flac";
        make(name, tone{static_cast<std::size_t>(lengths[i]), 44100, 300.0 + 100.0 * i},
             {{"TITLE", "Track " + std::to_string(i + 1)}, {"ARTIST", "Tester"}, {"ALBUM", "Image Test"},
              {"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"}});
        arguments.push_back(name);
        join.push_back(path(name));
    }
    arguments.insert(arguments.end(), {"-f", "utf8-image", "-o", "image.cue"});
    const auto result = trevalin(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string text = read_file(path("image.cue"));
    const auto sheet = read_back(text);
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.performer, "Tester");
    EXPECT_EQ(sheet.tracks[0].file, "Image.flac");
    EXPECT_EQ(sheet.tracks[2].title, "Track 3");

    join.push_back(path("Image.flac"));
    run_tool(join);
    const auto imported = run_program({"metaflac", "--import-cuesheet-from=" + path("image.cue"), path("Image.flac")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");  // no complaint, not even about CD compliance
    const std::string embedded = run_tool({"metaflac", "--export-cuesheet-to=-", path("Image.flac")});
    // CD audio: metaflac gives the offsets back as cue times, 76 and 128 frames.
    EXPECT_NE(embedded.find("TRACK 02 AUDIO\n    INDEX 01 00:01:01\n"), std::string::npos) << embedded;
    EXPECT_NE(embedded.find("TRACK 03 AUDIO\n    INDEX 01 00:01:53\n"), std::string::npos) << embedded;
    EXPECT_NE(embedded.find("REM FLAC__lead-out 170 " + std::to_string(588 * 228) + "\n"), std::string::npos) << embedded;
}

// The FLAC file's comment block replaced by one holding these KEY=value entries byte for byte,
// as a careless tagger writes them (the encoders refuse text that is not UTF-8).
void put_raw_flac_comments(const std::string& path, const std::vector<std::string>& entries) {
    const auto le32 = [](std::size_t n) {
        return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
    };
    std::string comment = le32(4) + "test" + le32(entries.size());
    for (const std::string& entry : entries) comment += le32(entry.size()) + entry;

    const std::string file = read_file(path);
    ASSERT_EQ(file.compare(0, 4, "fLaC"), 0);
    std::string blocks;
    std::size_t at = 4;
    for (bool last = false; !last;) {
        const auto header = static_cast<unsigned char>(file[at]);
        last = header & 0x80;
        const std::size_t length = (static_cast<unsigned char>(file[at + 1]) << 16) |
                                   (static_cast<unsigned char>(file[at + 2]) << 8) | static_cast<unsigned char>(file[at + 3]);
        if ((header & 0x7F) != 4) blocks += static_cast<char>(header & 0x7F) + file.substr(at + 1, 3 + length);
        at += 4 + length;
    }
    const std::size_t n = comment.size();
    blocks += std::string{static_cast<char>(0x84), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)} + comment;
    write_file(path, "fLaC" + blocks + file.substr(at));
}

// The MP3 file's ID3v2 tag replaced by a version 2.4 tag of these UTF-8 frames, id and body
// (after the encoding byte) byte for byte.
void put_raw_id3v2(const std::string& path, const std::vector<std::pair<std::string, std::string>>& frames) {
    const auto syncsafe = [](std::size_t n) {
        return std::string{static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
                           static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
    };
    std::string body;
    for (const auto& [id, text] : frames) body += id + syncsafe(text.size() + 1) + std::string(2, '\0') + '\x03' + text;
    std::string file = read_file(path);
    if (file.compare(0, 3, "ID3") == 0) {
        std::size_t size = 0;
        for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(file[i]) & 0x7F);
        file.erase(0, 10 + size);
    }
    write_file(path, "ID3" + std::string{4, 0, 0} + syncsafe(body.size()) + body + file);
}

TEST_F(cli_audio_files, a_tag_that_is_not_utf8_keeps_its_field_and_is_named_in_a_warning) {
    make("1.flac", tone{}, {{"TITLE", "x"}});
    put_raw_flac_comments(path("1.flac"),
                          {"TITLE=Caf\xE9 \x1B", "ARTIST=A\xFF\xFE" "B", "artist=Good", "ALBUM=Fine", "GENRE=Rock"});
    put_raw_id3v2(path("1.flac"), {{"TPE2", "An ID3v2 tag before the FLAC stream"}});
    make_wav(path("tone.wav"), tone{});
    run_tool({"opusenc", "--quiet", "--comment", "TITLE=Ol\xE9", "--comment", "ALBUM=Fine", path("tone.wav"), path("2.opus")});
    make("3.mp3", tone{}, {});
    put_raw_id3v2(path("3.mp3"), {{"TIT2", "Bad \xFF"}, {"TPE1", std::string("Good\0Alb\xC3um", 12)}, {"TALB", "Fine"},
                                  {"COMM", std::string("eng\0Gr\xFCn", 8)}});
    make("4.wv", tone{}, {{"TITLE", "QQ title"}, {"ALBUM", "Fine"}});
    std::string wavpack = read_file(path("4.wv"));
    wavpack[wavpack.rfind("QQ title")] = '\xFF';  // in the APEv2 tag at the file's end
    write_file(path("4.wv"), wavpack);
    const auto result = trevalin({"1.flac", "2.opus", "3.mp3", "4.wv", "-o", "-"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto sheet = read_back(result.out);
    ASSERT_EQ(sheet.tracks.size(), 4u);
    EXPECT_EQ(sheet.title, "Fine");
    EXPECT_EQ(sheet.tracks[0].performer, "A\uFFFD\uFFFDB, Good");
    EXPECT_EQ(sheet.tracks[0].title, "Caf\uFFFD _");
    EXPECT_EQ(sheet.tracks[1].title, "Ol\uFFFD");
    EXPECT_EQ(sheet.tracks[2].title, "Bad \uFFFD");
    EXPECT_EQ(sheet.tracks[2].performer, "Good, Alb\uFFFDum");
    EXPECT_EQ(sheet.tracks[3].title, "\uFFFDQ title");
    const std::string reason = " tag is not valid UTF-8; each bad byte is kept as U+FFFD\n";
    EXPECT_EQ(result.err, "trevalin: warning: 1.flac: the TITLE" + reason + "trevalin: warning: 1.flac: the ARTIST" + reason +
                              "trevalin: warning: 2.opus: the TITLE" + reason + "trevalin: warning: 3.mp3: the TITLE" + reason +
                              "trevalin: warning: 3.mp3: the ARTIST" + reason + "trevalin: warning: 3.mp3: the COMMENT" + reason +
                              "trevalin: warning: 4.wv: the TITLE" + reason);
}

}  // namespace
}  // namespace cli_test
