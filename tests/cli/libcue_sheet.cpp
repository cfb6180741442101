#include "tests/cli/libcue_sheet.h"

#include <libcue.h>

#include <memory>

namespace cli_test {

namespace {

std::string text_or_empty(const char* text) { return text ? text : ""; }

}  // namespace

std::optional<libcue_sheet> parse_with_libcue(const std::string& text) {
    const std::unique_ptr<Cd, void (*)(Cd*)> cd(cue_parse_string(text.c_str()), cd_delete);
    if (!cd) return std::nullopt;
    libcue_sheet sheet;
    if (Cdtext* cdtext = cd_get_cdtext(cd.get())) {
        sheet.title = text_or_empty(cdtext_get(PTI_TITLE, cdtext));
        sheet.performer = text_or_empty(cdtext_get(PTI_PERFORMER, cdtext));
    }
    if (Rem* rem = cd_get_rem(cd.get())) {
        sheet.album_gain = text_or_empty(rem_get(REM_REPLAYGAIN_ALBUM_GAIN, rem));
        sheet.album_peak = text_or_empty(rem_get(REM_REPLAYGAIN_ALBUM_PEAK, rem));
    }
    for (int i = 1; i <= cd_get_ntrack(cd.get()); ++i) {
        const Track* track = cd_get_track(cd.get(), i);
        libcue_track parsed;
        parsed.file = text_or_empty(track_get_filename(track));
        parsed.start_frames = track_get_index(track, 1);
        if (Cdtext* cdtext = track_get_cdtext(track)) {
            parsed.title = text_or_empty(cdtext_get(PTI_TITLE, cdtext));
            parsed.performer = text_or_empty(cdtext_get(PTI_PERFORMER, cdtext));
        }
        if (Rem* rem = track_get_rem(track)) {
            parsed.track_gain = text_or_empty(rem_get(REM_REPLAYGAIN_TRACK_GAIN, rem));
            parsed.track_peak = text_or_empty(rem_get(REM_REPLAYGAIN_TRACK_PEAK, rem));
        }
        sheet.tracks.push_back(std::move(parsed));
    }
    return sheet;
}

}  // namespace cli_test
