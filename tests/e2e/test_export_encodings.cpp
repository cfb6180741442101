// The four output forms: the file holds exactly the writer's text, in UTF-8 as it is or converted
// to the ANSI code page, with nothing before or after it.

#include "tests/e2e/e2e_host.h"

namespace e2e {
namespace {

class export_encodings : public e2e_test {
protected:
    void SetUp() override {
        e2e_test::SetUp();
        add_local_files();
    }
    void TearDown() override {
        platform::standin::set_ansi_code_page("windows-1252");
        e2e_test::TearDown();
    }
};

// é, ë, ù and É exist in windows-1252, € is its 0x80, Ω does not exist there.
std::vector<host::track_entry> accented_tracks() {
    const field_list shared{{"artist", {"Zo\xC3\xAB"}}, {"album", {"\xCE\xA9mega \xE2\x82\xAC"}}};
    auto with_title = [&](const char* title) {
        field_list fields = shared;
        fields.push_back({"title", {title}});
        return fields;
    };
    return {track("file:///m/\xC3\x89t\xC3\xA9.flac", 100.0, with_title("O\xC3\xB9")),
            track("file:///m/b.flac", 50.0, with_title("Two"))};
}

struct encoding_case {
    const char* name;
    t_uint32 filter;
    std::string expected;
};
// Test lists show the case by its name.
inline void PrintTo(const encoding_case& c, std::ostream* out) { *out << c.name; }


class written_bytes : public export_encodings, public ::testing::WithParamInterface<encoding_case> {};

TEST_P(written_bytes, are_the_sheet_in_the_chosen_form) {
    host::host_track_list tracks(accented_tracks());
    const std::string written = export_to_file(tracks, GetParam().filter);
    EXPECT_EQ(written, GetParam().expected);
    EXPECT_NE(written.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
}

INSTANTIATE_TEST_SUITE_P(
    filters, written_bytes,
    ::testing::Values(
        encoding_case{"utf8_per_file", utf8_per_file,
                      sheet({"PERFORMER \"Zo\xC3\xAB\"", "TITLE \"\xCE\xA9mega \xE2\x82\xAC\"",
                             "FILE \"\xC3\x89t\xC3\xA9.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"O\xC3\xB9\"",
                             "    INDEX 01 00:00:00", "FILE \"b.flac\" WAVE", "  TRACK 02 AUDIO",
                             "    TITLE \"Two\"", "    INDEX 01 00:00:00"})},
        encoding_case{"ansi_per_file", ansi_per_file,
                      sheet({"PERFORMER \"Zo\xEB\"", "TITLE \"?mega \x80\"", "FILE \"\xC9t\xE9.flac\" WAVE",
                             "  TRACK 01 AUDIO", "    TITLE \"O\xF9\"", "    INDEX 01 00:00:00",
                             "FILE \"b.flac\" WAVE", "  TRACK 02 AUDIO", "    TITLE \"Two\"",
                             "    INDEX 01 00:00:00"})},
        encoding_case{"utf8_album_image", utf8_album_image,
                      sheet({"PERFORMER \"Zo\xC3\xAB\"", "TITLE \"\xCE\xA9mega \xE2\x82\xAC\"",
                             "FILE \"Image.flac\" WAVE", "  TRACK 01 AUDIO", "    TITLE \"O\xC3\xB9\"",
                             "    INDEX 01 00:00:00", "  TRACK 02 AUDIO", "    TITLE \"Two\"",
                             "    INDEX 01 01:40:00"})},
        encoding_case{"ansi_album_image", ansi_album_image,
                      sheet({"PERFORMER \"Zo\xEB\"", "TITLE \"?mega \x80\"", "FILE \"Image.flac\" WAVE",
                             "  TRACK 01 AUDIO", "    TITLE \"O\xF9\"", "    INDEX 01 00:00:00",
                             "  TRACK 02 AUDIO", "    TITLE \"Two\"", "    INDEX 01 01:40:00"})}),
    [](const ::testing::TestParamInfo<encoding_case>& info) { return std::string(info.param.name); });

TEST_F(export_encodings, all_ascii_sheets_are_the_same_bytes_in_utf8_and_ansi) {
    const std::vector<host::track_entry> entries{
        track("file:///m/one.flac", 95.5, {{"artist", {"Band"}}, {"title", {"One"}}, {"comment", {"plain"}}}),
        track("file:///m/two.flac", 120.0, {{"artist", {"Band"}}, {"title", {"Two"}}, {"comment", {"plain"}}})};
    const std::pair<t_uint32, t_uint32> pairs[] = {{utf8_per_file, ansi_per_file}, {utf8_album_image, ansi_album_image}};
    for (const auto& [utf8, ansi] : pairs) {
        host::host_track_list tracks(entries);
        const std::string as_utf8 = export_to_file(tracks, utf8, "utf8.cue");
        const std::string as_ansi = export_to_file(tracks, ansi, "ansi.cue");
        EXPECT_EQ(as_utf8, as_ansi) << "filters " << utf8 << " and " << ansi;
        EXPECT_NE(as_utf8.find("  TRACK 02 AUDIO\r\n"), std::string::npos) << as_utf8;
    }
}

TEST_F(export_encodings, ansi_follows_the_code_page_the_host_chose) {
    ASSERT_TRUE(platform::standin::set_ansi_code_page("ISO-8859-7"));  // Greek: Ω is 0xD9, ë is missing
    host::host_track_list tracks(accented_tracks());
    const std::string written = export_to_file(tracks, ansi_album_image);
    const std::string start = "PERFORMER \"Zo?\"\r\nTITLE \"\xD9mega ";
    EXPECT_EQ(written.substr(0, start.size()), start);
}

}  // namespace
}  // namespace e2e
