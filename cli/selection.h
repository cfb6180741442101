// The selection the command runs on: audio files and directories, or a JSON track list.
#pragma once

#include <vector>

#include "cli/options.h"
#include "host/track_source.h"

namespace cli {

// Reads every track before anything else happens. Unreadable input throws host::input_error;
// an empty selection is a usage_error.
std::vector<host::track_entry> read_selection(const command_options& options, bool show_progress);

}  // namespace cli
