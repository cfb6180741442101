// Who answers the save dialog: --dialog when given, otherwise the situation the command runs in.
#pragma once

#include <functional>

#include "cli/options.h"

namespace cli {

enum class dialog_kind {
    options,          // -o answers it
    standard_output,  // no -o, and standard output is no terminal: the sheet goes there
    gtk,              // a window
    prompt,           // a prompt on the terminal
};

// Which of the standard streams are terminals.
struct terminals {
    bool input = false;
    bool output = false;
    bool error = false;
};

terminals current_terminals();

// --dialog gtk or prompt always wins. Otherwise -o; without it standard output when that is no
// terminal (a pipe or a file the shell opened); then (not with --dialog none) a window where a
// display can be opened (has_display, asked only then: opening it takes time), else the prompt
// when standard input and error are a terminal to ask on. usage_error when nobody can answer.
dialog_kind choose_dialog(const command_options& options, const terminals& streams,
                          const std::function<bool()>& has_display = {});

}  // namespace cli
