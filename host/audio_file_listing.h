// Which audio files a selection of files and folders stands for, in selection order.
#pragma once

#include <string>
#include <vector>

namespace host {

struct audio_file_listing {
    std::vector<std::string> files;         // in selection order; a file named twice is there twice
    std::vector<std::string> unreadable;    // "path: reason" for arguments that are missing or cannot be listed
    std::vector<std::string> not_followed;  // "path: reason" for subfolders left out: loops, no permission
};

// A folder stands for its audio files (by extension, hidden names left out) in natural name
// order. With recursive, each folder's subfolders follow its files, in natural order, to any
// depth; a subfolder reached again through symbolic links, or one that cannot be listed, is
// reported in not_followed and left out, and the listing goes on.
audio_file_listing list_audio_files(const std::vector<std::string>& arguments, bool recursive);

}  // namespace host
