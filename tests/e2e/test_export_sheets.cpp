// Whole sheets written by "Create cuesheet..." for selections of host tracks: file names and
// running start offsets, compared byte for byte and read back with libcue.

#include <libcue.h>

#include "tests/e2e/e2e_host.h"

namespace e2e {
namespace {

class export_sheets : public e2e_test {
protected:
    void SetUp() override {
        e2e_test::SetUp();
        add_local_files();
    }
};

// Three tracks of one album ripped to separate files, written as one album image.
std::vector<host::track_entry> album_of_three() {
    const field_list shared{{"artist", {"Artist A"}}, {"album", {"Album X"}}, {"genre", {"Rock"}}};
    auto with = [&](field_list own) {
        field_list all = shared;
        all.insert(all.end(), own.begin(), own.end());
        return all;
    };
    std::vector<host::track_entry> tracks;
    host::track_entry first = track("file:///music/Album X/a.flac", 200.0, with({{"title", {"One"}}, {"date", {"1999"}}}));
    replaygain_values gain;
    gain.album_gain = -7.25f;
    gain.album_peak = 1.0f;
    gain.track_gain = -6.5f;
    gain.track_peak = 0.98f;
    first.info.set_replaygain(gain);
    tracks.push_back(first);
    tracks.push_back(track("file:///music/Album X/b.flac", 180.5, with({{"title", {"Two"}}, {"date", {"2000"}}})));
    tracks.push_back(track("file:///music/Album X/c.flac", 240.0, with({{"title", {"Three"}}, {"date", {"2000"}}})));
    return tracks;
}

TEST_F(export_sheets, album_image_runs_the_offsets_on_across_one_file) {
    host::host_track_list tracks(album_of_three());
    const std::string written = export_to_file(tracks, utf8_album_image);
    EXPECT_EQ(written, sheet({
                           "REM GENRE Rock",
                           "PERFORMER \"Artist A\"",
                           "TITLE \"Album X\"",
                           "REM REPLAYGAIN_ALBUM_GAIN -7.25 dB",
                           "REM REPLAYGAIN_ALBUM_PEAK 1.000000",
                           "FILE \"Image.flac\" WAVE",
                           "  TRACK 01 AUDIO",
                           "    TITLE \"One\"",
                           "    REM DATE 1999",
                           "    REM REPLAYGAIN_TRACK_GAIN -6.50 dB",
                           "    REM REPLAYGAIN_TRACK_PEAK 0.980000",
                           "    INDEX 01 00:00:00",
                           "  TRACK 02 AUDIO",
                           "    TITLE \"Two\"",
                           "    REM DATE 2000",
                           "    INDEX 01 03:20:00",
                           "  TRACK 03 AUDIO",
                           "    TITLE \"Three\"",
                           "    REM DATE 2000",
                           "    INDEX 01 06:20:38",
                       }));
    expect_locks_balanced(tracks);

    // An independent reader agrees: one image, starts at 0, 200 and 380.5 seconds (in frames).
    Cd* cd = cue_parse_string(written.c_str());
    ASSERT_NE(cd, nullptr);
    ASSERT_EQ(cd_get_ntrack(cd), 3);
    const long frames[] = {0, 15000, 28538};
    for (int i = 0; i < 3; ++i) {
        Track* t = cd_get_track(cd, i + 1);
        EXPECT_STREQ(track_get_filename(t), "Image.flac");
        EXPECT_EQ(track_get_index(t, 1), frames[i]) << "track " << i + 1;
    }
    EXPECT_STREQ(cdtext_get(PTI_TITLE, cd_get_cdtext(cd)), "Album X");
    cd_delete(cd);
}

TEST_F(export_sheets, every_track_is_read_once_and_its_length_under_the_lock) {
    host::host_track_list tracks(album_of_three());
    export_to_file(tracks, utf8_album_image);
    // Handle 0 once for the proposed name, then every handle once in the loop.
    EXPECT_EQ(tracks.handle(0).fill_info_calls(), 2u);
    EXPECT_EQ(tracks.handle(1).fill_info_calls(), 1u);
    EXPECT_EQ(tracks.handle(2).fill_info_calls(), 1u);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        EXPECT_EQ(tracks.handle(i).lock_calls(), 1u) << i;
        EXPECT_EQ(tracks.handle(i).peek_info_calls(), 1u) << i;
    }
    expect_locks_balanced(tracks);
}

struct source {
    std::string path;
    double length;  // negative: the host holds no information for the track
};

struct offsets_case {
    const char* name;
    t_uint32 filter;
    std::vector<source> sources;
    std::string expected;
};
// Test lists show the case by its name.
inline void PrintTo(const offsets_case& c, std::ostream* out) { *out << c.name; }


class start_offsets : public export_sheets, public ::testing::WithParamInterface<offsets_case> {};

TEST_P(start_offsets, follow_the_previous_file_name_ignoring_case) {
    host::host_track_list tracks;
    int n = 0;
    for (const source& s : GetParam().sources) {
        ++n;
        tracks.add(s.length < 0 ? track_without_info(s.path)
                                : track(s.path, s.length, {{"title", {"T" + std::to_string(n)}}}));
    }
    EXPECT_EQ(export_to_file(tracks, GetParam().filter), GetParam().expected);
    expect_locks_balanced(tracks);
}

INSTANTIATE_TEST_SUITE_P(
    selections, start_offsets,
    ::testing::Values(
        // A new extension is a new image file: the offset starts again.
        offsets_case{"album_image_with_mixed_extensions", utf8_album_image,
                     {{"file:///m/a.flac", 200.0}, {"file:///m/b.mp3", 180.5}, {"file:///m/c.mp3", 240.0}},
                     sheet({"FILE \"Image.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "FILE \"Image.mp3\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"", "    INDEX 01 00:00:00",
                            "  TRACK 03 AUDIO", "    TITLE \"T3\"", "    INDEX 01 03:00:38"})},
        // The offsets compare names ignoring case; the FILE lines compare them exactly.
        offsets_case{"album_image_with_extensions_differing_in_case", ansi_album_image,
                     {{"file:///m/x.MP3", 61.0}, {"file:///m/y.mp3", 10.0}},
                     sheet({"FILE \"Image.MP3\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "FILE \"Image.mp3\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"", "    INDEX 01 01:01:00"})},
        offsets_case{"per_file_names_differing_in_case", utf8_per_file,
                     {{"file:///music/A.FLAC", 200.0}, {"file:///music/a.flac", 100.0}},
                     sheet({"FILE \"A.FLAC\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "FILE \"a.flac\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"", "    INDEX 01 03:20:00"})},
        // Only the immediately preceding track counts.
        offsets_case{"per_file_a_b_a", ansi_per_file,
                     {{"file:///m/A.flac", 60.0}, {"file:///m/B.flac", 70.0}, {"file:///m/A.flac", 80.0}},
                     sheet({"FILE \"A.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "FILE \"B.flac\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"", "    INDEX 01 00:00:00",
                            "FILE \"A.flac\" WAVE", "  TRACK 03 AUDIO", "    TITLE \"T3\"", "    INDEX 01 00:00:00"})},
        // Only the last path component is compared.
        offsets_case{"per_file_same_name_in_two_folders", utf8_per_file,
                     {{"file:///music/one/track.flac", 100.25}, {"file:///music/two/track.flac", 50.0}},
                     sheet({"FILE \"track.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "  TRACK 02 AUDIO", "    TITLE \"T2\"", "    INDEX 01 01:40:19"})},
        // A track the host knows nothing about adds no length: the next one starts where it did.
        offsets_case{"track_without_information", utf8_per_file,
                     {{"file:///m/a.flac", 60.0}, {"file:///m/a.flac", -1}, {"file:///m/a.flac", 30.0}},
                     sheet({"FILE \"a.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "  TRACK 02 AUDIO", "    INDEX 01 01:00:00", "  TRACK 03 AUDIO", "    TITLE \"T3\"",
                            "    INDEX 01 01:00:00"})},
        // Paths that end in a separator name no file: no FILE line, and the names compare equal.
        offsets_case{"per_file_paths_without_file_names", utf8_per_file,
                     {{"file:///m/dir/", 10.0}, {"file:///m/other/", 5.0}},
                     sheet({"  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00", "  TRACK 02 AUDIO",
                            "    TITLE \"T2\"", "    INDEX 01 00:10:00"})},
        // An extension of 32 characters or more is no extension.
        offsets_case{"album_image_with_an_overlong_extension", utf8_album_image,
                     {{"file:///m/a.abcdefghijklmnopqrstuvwxyz0123456", 10.0}, {"file:///m/b.flac", 5.0}},
                     sheet({"FILE \"Image.\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"", "    INDEX 01 00:00:00",
                            "FILE \"Image.flac\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"",
                            "    INDEX 01 00:00:00"})},
        // Windows paths and stream URLs name their files as the player shows them.
        offsets_case{"per_file_names_of_other_path_forms", utf8_per_file,
                     {{"file://C:\\Music\\01 Intro.flac", 10.0}, {"http://radio.example/live.mp3?id=7", 20.0}},
                     sheet({"FILE \"01 Intro.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"T1\"",
                            "    INDEX 01 00:00:00", "FILE \"live.mp3\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"T2\"",
                            "    INDEX 01 00:00:00"})}),
    [](const ::testing::TestParamInfo<offsets_case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
