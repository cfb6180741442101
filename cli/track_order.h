// The order of a selection of audio files: as given, by path, or by disc and track number.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/track_source.h"

namespace cli {

enum class track_order {
    given,  // the selection's own order: the arguments', folders in natural name order
    name,   // natural order of the whole path, folder by folder
    tags,   // DISCNUMBER, then TRACKNUMBER, then the path; missing numbers after present ones
};

// The order a --sort value names (given, name, tags); nothing for any other name.
std::optional<track_order> track_order_named(const std::string& name);

// Stable: tracks that compare equal keep their selection order.
void sort_tracks(std::vector<host::track_entry>& tracks, track_order order);

// A number field read as "n" or "n/total" (spaces around the parts allowed); nothing when the
// track has no such field or its first value is anything else.
std::optional<unsigned long> number_field(const host::track_entry& track, const char* name);

// The local path of a track: its location without "file://".
std::string local_path_of(const host::track_entry& track);

}  // namespace cli
