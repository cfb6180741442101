// The quick way through a track list that is in order: RapidJSON's parser feeding the same
// track_list_reader that the exact pass uses. It accepts only what that pass accepts; whenever
// it cannot vouch for a text it gives up and the exact pass, nlohmann's parser with its messages
// and positions, reads the text instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/track_source.h"

namespace host {

// The records of a list without any fault, or nothing when the list has one or might have one.
std::optional<std::vector<track_entry>> read_faultless_track_list(const std::string& text);

}  // namespace host
