#include "cli/selection.h"

#include <cstdio>

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/progress_line.h"
#include "cli/track_order.h"
#include "host/audio_file_listing.h"
#include "host/audio_file_source.h"
#include "host/json_track_list.h"

namespace cli {

namespace {

std::string files_text(std::size_t count) { return std::to_string(count) + (count == 1 ? " file" : " files"); }

selection read_audio_selection(const command_options& options, bool show_progress) {
    host::tag_names names;
    for (const auto& [tag, field] : options.tag_maps) names.map(tag, field);
    host::audio_file_listing listing = host::list_audio_files(options.inputs, options.recursive);
    for (const auto& message : listing.not_followed) report(message);
    if (listing.files.empty() && listing.unreadable.empty()) {
        throw usage_error(options.recursive ? "no audio files in the selection"
                                            : "no audio files in the selection (-r searches subfolders too)");
    }

    selection chosen;
    std::vector<std::string>& unreadable = listing.unreadable;
    {
        progress_line progress(show_progress, stderr);
        chosen.tracks.reserve(listing.files.size());
        for (std::size_t i = 0; i < listing.files.size(); ++i) {
            try {
                chosen.tracks.push_back(host::read_audio_file(listing.files[i], names));
            } catch (const host::input_error& error) {
                unreadable.push_back(error.what());
            }
            progress.update(i + 1, listing.files.size());
        }
    }
    if (!unreadable.empty() && !options.keep_going) {
        for (const auto& message : unreadable) report(message);
        throw usage_error(files_text(unreadable.size()) + " cannot be read; nothing written (--keep-going leaves them out)");
    }
    for (const auto& message : unreadable) report("left out " + message);
    chosen.left_out = std::move(unreadable);
    chosen.not_followed = std::move(listing.not_followed);
    sort_tracks(chosen.tracks, *track_order_named(options.sort));
    return chosen;
}

}  // namespace

selection read_selection(const command_options& options, bool show_progress) {
    selection chosen;
    if (options.track_list) {
        chosen.tracks = host::read_json_track_list_file(*options.track_list);
        if (chosen.tracks.empty()) throw usage_error(*options.track_list + ": the track list holds no tracks");
        return chosen;
    }
    chosen = read_audio_selection(options, show_progress);
    if (chosen.tracks.empty()) throw usage_error("no audio files in the selection");
    return chosen;
}

}  // namespace cli
