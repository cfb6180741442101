// The whole export, from a random track list through the loaded component to the written file,
// against a simple model of a sheet's line structure: every line is one of the sheet's line forms,
// quoted texts hold no quote and no control character, and the TRACK numbers rise from 1, one per
// track, each track ending with its INDEX 01 line or the index lines after it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/dialog_answer.h"
#include "cli/export_run.h"
#include "cli/options.h"
#include "host/track_handles.h"
#include "fuzz/fuzz_check.h"

namespace {

// ---- the model of a sheet's lines -------------------------------------------------------------

bool starts_with(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

bool plain_text(std::string_view text) {  // what a cleaned value may hold
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '"') return false;
    return true;
}

bool number(std::string_view text, std::size_t min_digits) {
    return text.size() >= min_digits && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool cue_time(std::string_view text) {
    const std::size_t colon = text.find(':');
    return colon != std::string_view::npos && text.size() == colon + 6 && number(text.substr(0, colon), 2) &&
           text[colon + 3] == ':' && number(text.substr(colon + 1, 2), 2) && number(text.substr(colon + 4), 2);
}

bool decimal(std::string_view text) {  // a possibly signed, possibly cut fixed-point text
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos;
}

// keyword "text" when quoted, else keyword text.
bool value_line(std::string_view line, std::string_view keyword, bool quoted) {
    if (!starts_with(line, keyword)) return false;
    std::string_view rest = line.substr(keyword.size());
    if (quoted) {
        if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') return false;
        rest = rest.substr(1, rest.size() - 2);
    }
    return plain_text(rest);
}

bool gain_line(std::string_view line, std::string_view keyword) {
    return starts_with(line, keyword) && line.size() > keyword.size() + 3 && line.substr(line.size() - 3) == " dB" &&
           decimal(line.substr(keyword.size(), line.size() - keyword.size() - 3));
}

bool header_line(std::string_view line) {
    return value_line(line, "REM GENRE ", false) || value_line(line, "REM DATE ", false) ||
           value_line(line, "REM DISCID ", false) || value_line(line, "REM COMMENT ", false) ||
           value_line(line, "CATALOG ", false) || value_line(line, "SONGWRITER ", true) ||
           value_line(line, "PERFORMER ", true) || value_line(line, "TITLE ", true) ||
           gain_line(line, "REM REPLAYGAIN_ALBUM_GAIN ") ||
           (starts_with(line, "REM REPLAYGAIN_ALBUM_PEAK ") && decimal(line.substr(26)));
}

bool track_detail_line(std::string_view line) {
    return value_line(line, "    TITLE ", true) || value_line(line, "    PERFORMER ", true) ||
           value_line(line, "    SONGWRITER ", true) || value_line(line, "    ISRC ", false) ||
           value_line(line, "    REM DATE ", false) || gain_line(line, "    REM REPLAYGAIN_TRACK_GAIN ") ||
           (starts_with(line, "    REM REPLAYGAIN_TRACK_PEAK ") && decimal(line.substr(30))) ||
           value_line(line, "    FLAGS ", false) || (starts_with(line, "    PREGAP ") && cue_time(line.substr(11)));
}

// The index number of "    INDEX nn t", or -1.
int index_line(std::string_view line) {
    if (!starts_with(line, "    INDEX ")) return -1;
    const std::size_t space = line.find(' ', 10);
    if (space == std::string_view::npos || !number(line.substr(10, space - 10), 2) || !cue_time(line.substr(space + 1)))
        return -1;
    return std::atoi(std::string(line.substr(10, space - 10)).c_str());
}

void check_sheet(const std::string& sheet, std::size_t tracks) {
    FUZZ_CHECK(sheet.size() >= 2 && sheet.compare(sheet.size() - 2, 2, "\r\n") == 0);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < sheet.size();) {
        const std::size_t end = sheet.find("\r\n", at);
        lines.emplace_back(sheet.data() + at, end - at);
        at = end + 2;
    }
    std::size_t track = 0;
    int last_index = -1;  // in the current track; -1 before any
    bool in_header = true;
    for (std::string_view line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        if (in_header && header_line(line)) continue;
        in_header = false;
        if (starts_with(line, "FILE ")) {
            FUZZ_CHECK(line.size() >= 12 && line.substr(line.size() - 5) == " WAVE");
            FUZZ_CHECK(value_line(line.substr(0, line.size() - 5), "FILE ", true));
            FUZZ_CHECK(track == 0 || last_index >= 1);  // between tracks only
            continue;
        }
        if (starts_with(line, "  TRACK ") && line.size() > 14 && line.substr(line.size() - 6) == " AUDIO") {
            FUZZ_CHECK(track == 0 || last_index >= 1);
            FUZZ_CHECK(number(line.substr(8, line.size() - 14), 2));
            FUZZ_CHECK(std::stoul(std::string(line.substr(8, line.size() - 14))) == ++track);
            last_index = -1;
            continue;
        }
        FUZZ_CHECK(track > 0);
        const int index = index_line(line);
        if (index < 0) {
            FUZZ_CHECK(last_index < 1 && track_detail_line(line));
            continue;
        }
        FUZZ_CHECK(index > last_index && (index <= 1 || index == last_index + 1));
        last_index = index;
    }
    FUZZ_CHECK(track == tracks && last_index >= 1);
}

// ---- a random track list ----------------------------------------------------------------------

std::string random_text(FuzzedDataProvider& input, std::size_t longest) {
    std::string text = input.ConsumeRandomLengthString(longest);
    std::erase(text, '\0');  // neither track source can hand over a NUL
    return text;
}

host::track_entry random_track(FuzzedDataProvider& input) {
    static const char* const folders[] = {"/music/Album/", "file:///music/", "C:\\Music\\", "", "x:"};
    static const char* const names[] = {"title", "artist", "album artist", "album", "genre", "date", "discid",
                                        "comment", "catalog", "songwriter", "isrc", "ARTIST", "Title"};
    host::track_entry track;
    track.path = folders[input.ConsumeIntegralInRange<int>(0, 4)] + random_text(input, 40);
    track.info_missing = input.ConsumeIntegralInRange<int>(0, 15) == 0;
    const int fields = input.ConsumeIntegralInRange<int>(0, 8);
    for (int f = 0; f < fields; ++f) {
        std::vector<std::string> values(input.ConsumeIntegralInRange<int>(1, 3));
        for (std::string& value : values) value = random_text(input, 30);
        track.info.add_field(names[input.ConsumeIntegralInRange<int>(0, 12)], std::move(values));
    }
    track.info.set_length(input.ConsumeFloatingPointInRange<double>(0, 1e6));
    if (input.ConsumeBool()) {
        track.info.set_replaygain({input.ConsumeFloatingPointInRange<float>(-60, 60), input.ConsumeFloatingPointInRange<float>(-60, 60),
                                   input.ConsumeFloatingPointInRange<float>(0, 2), input.ConsumeFloatingPointInRange<float>(0, 2)});
    }
    return track;
}

struct export_setup {
    std::filesystem::path folder;
    std::unique_ptr<cli::export_host> host;
};

export_setup& setup() {
    static export_setup ready = [] {
        export_setup s;
        char folder[] = "/tmp/fuzz_export.XXXXXX";
        FUZZ_CHECK(::mkdtemp(folder) != nullptr);
        s.folder = folder;
        s.host = std::make_unique<cli::export_host>(cli::default_component_path());
        return s;
    }();
    return ready;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const t_uint32 filter = input.ConsumeIntegralInRange<t_uint32>(1, 4);
    std::vector<host::track_entry> tracks(input.ConsumeIntegralInRange<int>(1, 12));
    for (host::track_entry& track : tracks) track = random_track(input);

    export_setup& s = setup();
    const std::string target = (s.folder / "sheet.cue").string();
    const cli::installed_dialog_answer dialog(
        [&](const cli::dialog_request&) { return cli::dialog_outcome::answer(target, filter, true); });
    host::host_track_list selection(std::move(tracks));
    FUZZ_CHECK(s.host->run_cue_sheet_command(selection, dialog) == cli::exit_status::written);

    std::ifstream file(target, std::ios::binary);
    const std::string sheet((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(target);
    check_sheet(sheet, selection.size());
    return 0;
}
