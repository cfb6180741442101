// The whole command after its options are parsed: check them, read the selection, run the export.
#pragma once

#include "cli/exit_status.h"
#include "cli/options.h"

namespace cli {

// Reports on standard error and returns the exit status. Throws usage_error and host::input_error
// (status 2) for the caller to report.
exit_status run_command(const command_options& options);

}  // namespace cli
