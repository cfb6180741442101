#include "cli/discs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "cli/track_order.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

std::string folder_of(const host::track_entry& track) {
    return fs::path(local_path_of(track)).lexically_normal().parent_path().string();
}

fs::path resolved(const std::string& folder) {
    std::error_code error;
    fs::path path = fs::weakly_canonical(folder, error);
    return error ? fs::path(folder).lexically_normal() : path;
}

bool lies_in(const fs::path& folder, const fs::path& outer) {
    const fs::path relative = folder.lexically_relative(outer);
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

std::vector<disc> split_into_discs(std::vector<host::track_entry> tracks) {
    const bool numbered = std::all_of(tracks.begin(), tracks.end(),
                                      [](const host::track_entry& t) { return number_field(t, "discnumber").has_value(); });
    std::vector<disc> discs;
    for (auto& track : tracks) {
        const std::string folder = folder_of(track);
        const unsigned long number = numbered ? *number_field(track, "discnumber") : 0;
        auto same = std::find_if(discs.begin(), discs.end(), [&](const disc& d) {
            return numbered ? d.number == number : d.folder == folder;
        });
        if (same == discs.end()) {
            discs.push_back({numbered ? number : discs.size() + 1, folder, {}});
            same = discs.end() - 1;
        }
        same->tracks.push_back(std::move(track));
    }
    if (numbered) {
        std::stable_sort(discs.begin(), discs.end(), [](const disc& a, const disc& b) { return a.number < b.number; });
    }
    return discs;
}

std::string disc_file_name(const std::string& proposed, unsigned long number) {
    const std::string suffix = " (Disc " + std::to_string(number) + ")";
    const std::string extension = ".cue";
    if (proposed.size() >= extension.size() &&
        proposed.compare(proposed.size() - extension.size(), extension.size(), extension) == 0)
        return proposed.substr(0, proposed.size() - extension.size()) + suffix + extension;
    return proposed + suffix;
}

std::vector<disc_target> disc_targets(const std::vector<disc>& discs, const std::string& output) {
    const fs::path outer = output.empty() ? fs::path() : resolved(output);
    std::vector<disc_target> targets;
    std::map<fs::path, int> sharing;
    for (const disc& d : discs) {
        const fs::path own = resolved(d.folder);
        const bool beside = output.empty() || own == outer || lies_in(own, outer);
        targets.push_back({beside ? d.folder : output, false});
        ++sharing[beside ? own : outer];
    }
    for (std::size_t i = 0; i < discs.size(); ++i) targets[i].named_apart = sharing[resolved(targets[i].folder)] > 1;
    return targets;
}

}  // namespace cli
