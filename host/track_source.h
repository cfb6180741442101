// What a track source hands the host for each selected track, and how it reports input it cannot
// use. Track sources read everything before the export starts, so bad input stops the run before
// the save dialog and nothing is written.
#pragma once

#include <stdexcept>
#include <string>

#include "host/host_track_info.h"

namespace host {

struct track_entry {
    std::string path;           // the track's location as the player would give it ("file://...")
    bool info_missing = false;  // the host holds no information for this track
    host_track_info info;
};

// The message names the input (a file, with the line and column for a track list) and the reason,
// ready for the user: "tracks.json:3:14: \"length\" must not be negative".
class input_error : public std::runtime_error {
public:
    input_error(const std::string& where, const std::string& reason)
        : std::runtime_error(where + ": " + reason) {}
};

}  // namespace host
