// What a run says once its sheets are written to files, and the check of them with --check.
#pragma once

#include <new>
#include <vector>

#include "cli/closing_line.h"
#include "cli/exit_status.h"
#include "cli/options.h"

namespace cli {

// Says, without allocating, that the sheet is written but memory ran out before the rest was told.
void report_written_without_memory() noexcept;

// The closing line (unless quiet), then with --check each sheet checked: written, or refused
// when a check has findings.
exit_status report_written(const std::vector<written_sheet>& sheets, const command_options& options);

// Runs what follows a written sheet (the closing line, --check): once the sheet is in place, running
// out of memory while telling about it must not report the run as failed.
template <typename Telling>
exit_status after_writing(Telling&& telling) {
    try {
        return telling();
    } catch (const std::bad_alloc&) {
        report_written_without_memory();
        return exit_status::written;
    }
}

}  // namespace cli
