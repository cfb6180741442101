// What other programs would misread in the sheet the export is about to write, found from the
// selection and the chosen form before anything is written.
#pragma once

#include <string>
#include <vector>

#include "abi/types.h"
#include "host/track_handles.h"

namespace cli {

struct sheet_plan {
    const host::host_track_list* tracks = nullptr;  // read through the host's own access
    t_uint32 filter_index = 1;  // the dialog filter: 1 and 2 per file, 3 and 4 album image, 2 and 4 ANSI
    std::string code_page;      // the ANSI code page's iconv name
    bool whole_files = false;   // each track is a whole file (audio files, not a track list)
};

// One message per problem, naming the tracks or files concerned, without the program's prefix.
std::vector<std::string> sheet_warnings(const sheet_plan& plan);

}  // namespace cli
