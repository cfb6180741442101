// Who answers the save dialog when the command line does not say.
#pragma once

#include "cli/options.h"

namespace cli {

enum class dialog_kind {
    options,          // -o answers it
    standard_output,  // no -o, and standard output is no terminal: the sheet goes there
    prompt,           // a prompt on the terminal
};

// Which of the standard streams are terminals.
struct terminals {
    bool input = false;
    bool output = false;
    bool error = false;
};

terminals current_terminals();

// -o always wins. Without it: standard output when that is no terminal (a pipe or a file the
// shell opened), else the prompt when standard input and error are a terminal to ask on.
// usage_error when nobody can answer.
dialog_kind choose_dialog(const command_options& options, const terminals& streams);

}  // namespace cli
