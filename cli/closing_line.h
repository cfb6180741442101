// The line that ends a run that wrote sheets to files: where they went, how many tracks each
// holds, and in which form and code page.
#pragma once

#include <string>
#include <vector>

#include "abi/types.h"

namespace cli {

struct written_sheet {
    std::string path;         // as the dialog answered it
    std::size_t tracks = 0;
    t_uint32 filter_index = 1;
    std::string code_page;    // the ANSI code page's iconv name (the ANSI forms only)
};

// "wrote 12 tracks to /music/Album/Album.cue (per-file sheet, UTF-8)"; several sheets of one
// form: "wrote 2 sheets: /a/CD1.cue (10 tracks), /a/CD2.cue (12 tracks) (per-file sheets, UTF-8)".
// Without the program's prefix.
std::string closing_line(const std::vector<written_sheet>& sheets);

// The form and code page of a dialog filter: "album image sheet, windows-1251".
std::string form_of(t_uint32 filter_index, const std::string& code_page, bool plural = false);

}  // namespace cli
