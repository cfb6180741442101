// What libcue says about a cue sheet: it reports problems on standard error and often still
// returns a result, so the messages are the verdict.
#pragma once

#include <cstddef>
#include <string>

namespace cli {

struct libcue_verdict {
    bool parsed = false;   // libcue returned a sheet
    std::string messages;  // what it printed, lines joined with "; ", runs of "bad character" as one
};

libcue_verdict ask_libcue(const std::string& text);

// The line (1-based) from which the first lines of text already draw a complaint; 0 when none do.
std::size_t first_line_libcue_rejects(const std::string& text);

}  // namespace cli
