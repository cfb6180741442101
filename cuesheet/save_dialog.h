// Asking the user where to write the sheet and in which form.
#pragma once

#include "cuesheet/cue_output_mode.h"
#include "vesk/charset.h"

// Shows the save dialog pre-filled with proposed_name (UTF-8, may be empty; cut to what the
// dialog's buffer holds). True when the user confirmed a file name: output_path then holds it as
// NUL-terminated UTF-8 (cut at 2047 bytes) and mode the form of the chosen filter. False on a
// cancel or when the dialog could not be shown; output_path and mode are left as they were.
bool ask_output_path(const char* proposed_name, char (&output_path)[vesk::utf8_path_capacity],
                     cue_output_mode& mode);
