// The "Create cuesheet..." command from selection to file.
#pragma once

#include "abi/track_handle.h"
#include "vesk/string8.h"

// Proposes a name from the first track's album, asks where and in which form, builds one record
// per selected track and writes the sheet as the whole content of the chosen file. True once the
// file is written; false when the dialog was cancelled or the selection is empty. Every other
// failure is an exception, with everything the run held released on its way out.
bool export_cue_sheet(track_handle_list& tracks);

// Replaces each of \ / | : * ? " > < with '_', byte by byte.
void clean_file_name(vesk::string8_t<vesk::alloc_standard>& text);

// The track's length from the host's cached information, 0.0 when it holds none. Holds the
// track's lock only for the read.
double track_length_of(track_handle& handle);
