// One sheet per disc: the selection split into discs, the command run once for each with its own
// dialog answer, and one closing line for all of them.
#pragma once

#include <vector>

#include "cli/exit_status.h"
#include "cli/export_run.h"
#include "cli/options.h"
#include "cli/warning_list.h"
#include "host/track_source.h"

namespace cli {

// Every disc is tried, whatever came of the others; the result is the worst status of them all.
// -o naming one file for several discs is a usage_error, before anything is written. typed is
// the dialog's answer (-o, or "-" for standard output; nothing: the prompt); every disc's
// warnings go to warnings.
exit_status run_per_disc(export_host& host, const command_options& options, const std::optional<std::string>& typed,
                         std::vector<host::track_entry> tracks, warning_list& warnings);

}  // namespace cli
