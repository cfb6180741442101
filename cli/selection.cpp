#include "cli/selection.h"

#include <cstdio>

#include "cli/exit_status.h"
#include "cli/progress_line.h"
#include "host/audio_file_source.h"
#include "host/json_track_list.h"

namespace cli {

std::vector<host::track_entry> read_selection(const command_options& options, bool show_progress) {
    std::vector<host::track_entry> tracks;
    if (options.track_list) {
        tracks = host::read_json_track_list_file(*options.track_list);
        if (tracks.empty()) throw usage_error(*options.track_list + ": the track list holds no tracks");
    } else {
        progress_line progress(show_progress, stderr);
        tracks = host::read_audio_files(options.inputs,
                                        [&progress](std::size_t done, std::size_t total) { progress.update(done, total); });
        if (tracks.empty()) throw usage_error("no audio files in the selection");
    }
    return tracks;
}

}  // namespace cli
