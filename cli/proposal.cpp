#include "cli/proposal.h"

#include <filesystem>

#include "host/local_filesystem.h"

namespace cli {

std::string track_folder(const char* path) {
    const std::string local = host::local_filesystem::local_path_of(path);
    if (local.empty()) return {};
    return std::filesystem::path(local).parent_path().string();
}

std::string proposal_or_folder_name(const std::string& proposed, const std::string& folder) {
    if (proposed != ".cue") return proposed;
    std::string name = std::filesystem::path(folder).filename().string();
    if (name.empty() || name == "." || name == "..") return proposed;
    for (char& c : name) {
        if (std::string_view("\\/|:*?\"><").find(c) != std::string_view::npos) c = '_';
    }
    return name + ".cue";
}

}  // namespace cli
