// What a track source hands the host for each selected track, and how it reports input it cannot
// use. Track sources read everything before the export starts, so bad input stops the run before
// the save dialog and nothing is written.
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "host/host_track_info.h"

namespace host {

struct track_entry {
    std::string path;           // the track's location as the player would give it ("file://...")
    bool info_missing = false;  // the host holds no information for this track
    host_track_info info;
    std::vector<std::string> warnings;  // for the user, each naming the input: "a.flac: the TITLE tag ..."
};

// The message names the input (a file, with the line and column for a track list) and the reason,
// ready for the user: "tracks.json:3:14: \"length\" must not be negative".
class input_error : public std::runtime_error {
public:
    input_error(const std::string& where, const std::string& reason)
        : std::runtime_error(where + ": " + reason) {}
};

// An input that could not be read, for the system's reason. Running out of memory says nothing
// about the input: it raises std::bad_alloc instead, and the run ends as on any allocation failure.
inline input_error system_input_error(const std::string& where, const std::error_code& error) {
    if (error == std::errc::not_enough_memory) throw std::bad_alloc();
    return input_error(where, error.message());
}
inline input_error system_input_error(const std::string& where, int error_number) {
    return system_input_error(where, std::error_code(error_number, std::generic_category()));
}

}  // namespace host
