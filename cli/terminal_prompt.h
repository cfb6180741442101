// The save dialog as a prompt on the terminal: the title, the four filters with the preselected
// one marked, the proposed name, and the replace confirmation.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/dialog_answer.h"

namespace cli {

struct prompt_choices {
    std::optional<t_uint32> filter_index;  // preselect this filter instead of the dialog's choice
    bool overwrite = false;                // replacing is confirmed in advance
};

// Reads the file name with its prompt; nothing at the end of input.
using name_reader = std::function<std::optional<std::string>(const std::string& prompt)>;

// Asks on out, reads answers from in, and the file name through read_name when given. An empty
// name takes the proposal, inside the request's default folder when it has one; "~" stands for
// the home folder; the end of input is a cancel; a declined replacement ends the dialog as
// declined.
dialog_outcome prompt_for_output(const dialog_request& request, const prompt_choices& choices, std::istream& in,
                                 std::ostream& out, const name_reader& read_name = {});

}  // namespace cli
