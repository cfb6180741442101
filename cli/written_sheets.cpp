#include "cli/written_sheets.h"


#include <algorithm>
#include <cstdio>

#include "cli/messages.h"
#include "cli/sheet_check.h"
#include "host/local_filesystem.h"

namespace cli {

void report_written_without_memory() noexcept {
    std::fputs("trevalin: the sheet is written; memory ran out before the rest could be told\n", stderr);
}

exit_status report_written(const std::vector<written_sheet>& sheets, const command_options& options) {
    if (sheets.empty()) return exit_status::written;
    if (!options.quiet) report(closing_line(sheets));
    exit_status status = exit_status::written;
    if (!options.check_written) return status;
    for (const written_sheet& sheet : sheets) {
        const bool ansi = sheet.filter_index == 2 || sheet.filter_index == 4;
        const std::string local = host::local_filesystem::local_path_of(sheet.path.c_str());
        const exit_status checked = report_check(local, ansi ? std::optional<std::string>(sheet.code_page) : std::nullopt);
        status = static_cast<exit_status>(std::max(code_of(status), code_of(checked)));
    }
    return status;
}

}  // namespace cli
