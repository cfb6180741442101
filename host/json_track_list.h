// JSON track lists as a track source: what the player would hand over for each selected track,
// in selection order.
//
//   {"tracks": [{"path": "file:///music/01.flac", "length": 245.5,
//                "fields": {"artist": "A", "genre": ["Rock", "Pop"]},
//                "replaygain": {"album_gain": -7.25, "album_peak": 1.0, "track_gain": -6.5, "track_peak": 0.98},
//                "info": {"samplerate": "44100"}}]}
//
// A bare array of tracks is accepted too. "path" is required; "fields" may also be a list of
// [name, [values...]] pairs, which allows repeated names; "info_missing": true makes the host hold
// no information for the track.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "host/track_source.h"

namespace host {

// Reads the whole stream. Anything malformed (invalid JSON, duplicate keys, unknown keys, wrong
// types, a NUL inside a text, a negative or non-finite length) is an input_error naming the input
// as display_name with the line and column where the trouble starts.
std::vector<track_entry> read_json_track_list(std::istream& input, const std::string& display_name);

// The file at path, or standard input for "-".
std::vector<track_entry> read_json_track_list_file(const std::string& path);

}  // namespace host
