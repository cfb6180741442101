// A cue sheet as an independent reader, libcue, understands it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli_test {

struct libcue_track {
    std::string file;
    std::string title;
    std::string performer;
    long start_frames = -1;  // INDEX 01 in frames of 1/75 s from the start of its file
    std::string track_gain;  // REM REPLAYGAIN_TRACK_GAIN, as written
    std::string track_peak;
};

struct libcue_sheet {
    std::string title;
    std::string performer;
    std::string album_gain;
    std::string album_peak;
    std::vector<libcue_track> tracks;
};

// Nothing when libcue rejects the text.
std::optional<libcue_sheet> parse_with_libcue(const std::string& text);

}  // namespace cli_test
