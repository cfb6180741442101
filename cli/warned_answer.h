// The dialog as a run answers it: a name where the component proposes none, then, once the form
// is chosen and before the component writes anything, the warnings for that form; under --strict
// any warning of the run withholds the answer.
#pragma once

#include "cli/dialog_answer.h"
#include "cli/options.h"
#include "cli/warning_list.h"
#include "host/track_handles.h"

namespace cli {

// tracks, options and warnings must outlive the answer.
dialog_answer_function with_warnings(dialog_answer_function answer, const host::host_track_list& tracks,
                                     const command_options& options, warning_list& warnings);

}  // namespace cli
