// The save dialog as a prompt on the terminal: the title, the four filters with the preselected
// one marked, the proposed name, and the replace confirmation.
#pragma once

#include <iosfwd>
#include <optional>

#include "cli/dialog_answer.h"

namespace cli {

struct prompt_choices {
    std::optional<t_uint32> filter_index;  // preselect this filter instead of the dialog's choice
    bool overwrite = false;                // replacing is confirmed in advance
};

// Asks on out, reads answers from in. An empty name takes the proposal; the end of input is a
// cancel; a declined replacement ends the dialog as declined.
dialog_outcome prompt_for_output(const dialog_request& request, const prompt_choices& choices, std::istream& in,
                                 std::ostream& out);

}  // namespace cli
