// Turns the export's records into the text of a cue sheet.
#pragma once

#include "abi/track_info.h"
#include "cuesheet/cue_track.h"
#include "vesk/string8.h"

// Appends the whole sheet for the records to out, CRLF line ends, nothing at all for an empty
// list. Only appends: what out held before stays. Running out of memory raises std::bad_alloc and
// leaves out with whatever had been appended by then.
void write_cue_sheet(vesk::string_base& out, const cue_track_list& tracks);

// True when every record has the field with values and all records' joined values are the same
// bytes (case, value order and white space count; only the name look-up ignores case).
bool field_is_album_wide(const cue_track_list& tracks, const char* name);

// The field's joined values as a sheet line carries them: '"' becomes '\'', CR LF becomes '\',
// every other byte below 0x20 becomes '_'. Empty when the field is missing.
vesk::string8_t<vesk::alloc_standard> clean_cue_value(const track_info& info, const char* name);
