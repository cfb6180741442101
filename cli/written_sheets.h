// What a run says once its sheets are written to files, and the check of them with --check.
#pragma once

#include <vector>

#include "cli/closing_line.h"
#include "cli/exit_status.h"
#include "cli/options.h"

namespace cli {

// The closing line (unless quiet), then with --check each sheet checked: written, or refused
// when a check has findings.
exit_status report_written(const std::vector<written_sheet>& sheets, const command_options& options);

}  // namespace cli
