// One selected track on its way from the export flow to the sheet writer: the host's information
// about it plus what the export decided for the sheet.
#pragma once

#include "abi/types.h"
#include "cuesheet/cue_track_list.h"
#include "trackinfo/track_info_impl.h"
#include "vesk/string8.h"

struct cue_track {
    static constexpr t_uint32 index_count = 100;

    cue_track() = default;
    // Independent of its source; raises std::bad_alloc when memory runs out.
    cue_track(const cue_track& other);
    cue_track& operator=(const cue_track&) = delete;
    ~cue_track() = default;

    track_info_impl info;
    // The FILE line's name, cleaned as values are; a change from the previous record starts a new FILE.
    vesk::string8_t<vesk::alloc_standard> file_name;
    // Written verbatim in a FLAGS line when not empty.
    vesk::string8_t<vesk::alloc_standard> flags;
    // Always set by the export flow before the record is used.
    t_uint32 track_number = 0;
    // Seconds from the start of the record's FILE: 0 is INDEX 00, 1 is INDEX 01, 2 to 99 further
    // index points, ended by the first that is not above 0.
    double index_times[index_count] = {};
};

// The records of one export, in selection order.
using cue_track_list = cue_track_list_t<cue_track>;

// All times 0.0, then index 0 and index 1 at offset.
void set_index_times(cue_track& record, double offset) noexcept;
