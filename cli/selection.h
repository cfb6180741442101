// The selection the command runs on: audio files and directories, or a JSON track list.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "host/track_source.h"

namespace cli {

struct selection {
    std::vector<host::track_entry> tracks;  // in the order the options ask for
    std::vector<std::string> left_out;      // "path: reason" of unreadable files, with --keep-going
    std::vector<std::string> not_followed;  // "path: reason" of subfolders left out by -r
};

// Reads every track before anything else happens and reports on standard error the subfolders
// not followed and the files that cannot be read. Unreadable files stop the run (a usage_error
// after naming each) unless the options keep going; an unreadable track list throws
// host::input_error; an empty selection is a usage_error.
selection read_selection(const command_options& options, bool show_progress);

}  // namespace cli
