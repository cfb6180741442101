// The save dialog as the export shows it: its settings, the proposed name, cancelling, and what
// the host is asked for before and after it.

#include <filesystem>

#include "tests/e2e/e2e_host.h"

namespace e2e {
namespace {

class export_dialog : public e2e_test {
protected:
    void SetUp() override {
        e2e_test::SetUp();
        add_local_files();
    }
};

TEST_F(export_dialog, shows_title_filters_extension_and_replace_confirmation) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0, {{"album", {"Album"}}})});
    dialog.cancel();
    run_export(tracks);

    const dialog_seen& seen = dialog.seen();
    EXPECT_EQ(seen.times_shown, 1);
    EXPECT_EQ(seen.title, u"Save Cuesheet");
    const std::vector<std::u16string> filters{
        u"UTF-8 Cuesheet (*.cue)", u"*.cue", u"ANSI Cuesheet (*.cue)", u"*.cue",
        u"UTF-8 Album Image Cuesheet (*.cue)", u"*.cue", u"ANSI Album Image Cuesheet (*.cue)", u"*.cue"};
    EXPECT_EQ(seen.filters, filters);
    EXPECT_EQ(seen.preselected, 1u);
    EXPECT_EQ(seen.default_extension, u"cue");
    EXPECT_EQ(seen.flags, 0x1802u);
    EXPECT_EQ(seen.file_capacity, 1024u);
    EXPECT_EQ(seen.proposed_name, "Album.cue");
}

struct proposal_case {
    const char* name;
    field_list first_track;
    std::string proposed;
};
// Test lists show the case by its name.
inline void PrintTo(const proposal_case& c, std::ostream* out) { *out << c.name; }


class proposed_name : public export_dialog, public ::testing::WithParamInterface<proposal_case> {};

// Cancelled each time: the proposal alone is under test, and cancelling writes nothing.
TEST_P(proposed_name, comes_from_the_first_tracks_first_album_value) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0, GetParam().first_track),
                                  track("file:///m/b.flac", 1.0, {{"ALBUM", {"Second Track's Album"}}})});
    dialog.cancel();
    run_export(tracks);
    EXPECT_EQ(dialog.seen().proposed_name, GetParam().proposed);
    EXPECT_TRUE(dir.entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    first_tracks, proposed_name,
    ::testing::Values(proposal_case{"unsafe_characters", {{"ALBUM", {"Rock/Pop: Live?"}}}, "Rock_Pop_ Live_.cue"},
                      proposal_case{"all_nine_unsafe_characters",
                                    {{"ALBUM", {"a\\b/c|d:e*f?g\"h>i<j"}}},
                                    "a_b_c_d_e_f_g_h_i_j.cue"},
                      proposal_case{"no_album", {{"title", {"Song"}}}, ".cue"},
                      proposal_case{"several_values", {{"ALBUM", {"First", "Second"}}}, "First.cue"},
                      proposal_case{"lower_case_field_name", {{"album", {"Quiet"}}}, "Quiet.cue"},
                      proposal_case{"non_ascii_kept", {{"ALBUM", {"Caf\xC3\xA9 \xE2\x82\xAC"}}},
                                    "Caf\xC3\xA9 \xE2\x82\xAC.cue"}),
    [](const ::testing::TestParamInfo<proposal_case>& info) { return std::string(info.param.name); });

TEST_F(export_dialog, first_track_without_information_proposes_just_the_extension) {
    host::host_track_list tracks({track_without_info("file:///m/a.flac")});
    dialog.cancel();
    run_export(tracks);
    EXPECT_EQ(dialog.seen().proposed_name, ".cue");
}

TEST_F(export_dialog, cancel_writes_nothing_and_reads_only_the_first_track) {
    host::host_track_list tracks({track("file:///m/a.flac", 10.0, {{"album", {"A"}}}),
                                  track("file:///m/b.flac", 20.0), track("file:///m/c.flac", 30.0)});
    test_support::write_file(dir / "other.cue", "keep me");
    dialog.answer(dir / "out.cue", utf8_per_file);
    dialog.cancel();
    run_export(tracks);

    EXPECT_EQ(dialog.seen().times_shown, 1);
    EXPECT_EQ(dir.entries(), std::set<std::string>{"other.cue"});
    EXPECT_EQ(test_support::read_file(dir / "other.cue"), "keep me");
    EXPECT_EQ(tracks.get_handle_calls(), 1u);
    EXPECT_EQ(tracks.handle(0).fill_info_calls(), 1u);
    EXPECT_EQ(tracks.fill_info_calls(), 1u);
    EXPECT_EQ(tracks.lock_calls(), 0u);
    for (std::size_t i = 0; i < tracks.size(); ++i) EXPECT_EQ(tracks.handle(i).peek_info_calls(), 0u) << i;
}

// A user who takes their time in the dialog gets the tracks as the host knows them afterwards.
TEST_F(export_dialog, tracks_are_read_again_after_the_dialog) {
    host::host_track_list tracks({track("file:///m/a.flac", 10.0, {{"album", {"Before"}}, {"title", {"Old"}}})});
    dialog.before_answer = [](void* context) {
        auto& list = *static_cast<host::host_track_list*>(context);
        host::host_track_info retagged;
        retagged.set_length(10.0);
        retagged.add_field("album", {"After"});
        retagged.add_field("title", {"New"});
        list.handle(0).replace_info(retagged);
    };
    dialog.before_answer_context = &tracks;
    const std::string written = export_to_file(tracks, utf8_per_file);
    EXPECT_EQ(dialog.seen().proposed_name, "Before.cue");
    EXPECT_EQ(written, sheet({"TITLE \"After\"", "FILE \"a.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"New\"",
                              "    INDEX 01 00:00:00"}));
}

// The chosen path crosses the dialog as UTF-16 and reaches the filesystem as UTF-8.
TEST_F(export_dialog, chosen_path_with_non_ascii_characters_is_written) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    const std::string name = "Caf\xC3\xA9 \xF0\x9F\x8E\xB5.cue";
    export_to_file(tracks, utf8_per_file, name);
    EXPECT_EQ(dir.entries(), std::set<std::string>{name});
}

TEST_F(export_dialog, a_file_url_is_as_good_as_a_path) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    dialog.answer("file://" + (dir / "url.cue"), utf8_per_file);
    run_export(tracks);
    EXPECT_EQ(test_support::read_file(dir / "url.cue"),
              sheet({"FILE \"a.flac\" WAVE", "  TRACK 01 AUDIO", "    INDEX 01 00:00:00"}));
}

}  // namespace
}  // namespace e2e
