// A selection split into discs, for one sheet per disc.
#pragma once

#include <string>
#include <vector>

#include "host/track_source.h"

namespace cli {

struct disc {
    unsigned long number = 0;  // its DISCNUMBER, or its place among the discs counted from 1
    std::string folder;        // the folder of its first track
    std::vector<host::track_entry> tracks;
};

// By DISCNUMBER when every track has one (discs in number order), else by the folder each track
// lies in (discs in the order their first tracks come). Tracks keep the selection's order.
std::vector<disc> split_into_discs(std::vector<host::track_entry> tracks);

// The proposed file name with " (Disc N)" before its ".cue" (or at its end).
std::string disc_file_name(const std::string& proposed, unsigned long number);

// Where each disc's sheet goes when the answer is the folder output: the folder of the disc's
// first track when that lies in output (the sheet then sits beside its files), else output.
// Empty output: every disc's own folder. Discs that land in one folder are named apart.
struct disc_target {
    std::string folder;
    bool named_apart = false;
};
std::vector<disc_target> disc_targets(const std::vector<disc>& discs, const std::string& output);

}  // namespace cli
