#include "cuesheet/cue_track.h"

cue_track::cue_track(const cue_track& other)
    : info(other.info), file_name(other.file_name), flags(other.flags), track_number(other.track_number) {
    for (t_uint32 i = 0; i < index_count; ++i) index_times[i] = other.index_times[i];
}

void set_index_times(cue_track& record, double offset) noexcept {
    for (double& time : record.index_times) time = 0.0;
    record.index_times[1] = offset;
    record.index_times[0] = offset;
}
