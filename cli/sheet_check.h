// trevalin check: reads any cue sheet, and names what other programs would misread or could not
// find, one finding per line with the sheet's line number where there is one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"

namespace cli {

struct check_finding {
    std::size_t line = 0;  // 1-based; 0 for the sheet as a whole
    std::string text;
};

// code_page: the sheet's ANSI code page (a Windows number or an iconv name); absent for UTF-8.
// Throws host::input_error when the sheet cannot be read, usage_error for an unknown code page.
std::vector<check_finding> check_sheet(const std::string& sheet_path, const std::optional<std::string>& code_page);

// Prints each finding as "SHEET:LINE: text" on standard output; written when there is none,
// refused when there are.
exit_status report_check(const std::string& sheet_path, const std::optional<std::string>& code_page);

}  // namespace cli
