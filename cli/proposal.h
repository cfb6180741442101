// The proposed sheet name, made usable where the component's proposal is empty.
#pragma once

#include <string>

namespace cli {

// The local folder of a track at path ("/music/Album"); empty when it is not a local path.
std::string track_folder(const char* path);

// The component proposes "<ALBUM>.cue"; without an album title that is ".cue", a hidden file.
// Then the sheet is named after the folder instead, cleaned as the component cleans names.
// Anything else stays as proposed.
std::string proposal_or_folder_name(const std::string& proposed, const std::string& folder);

}  // namespace cli
