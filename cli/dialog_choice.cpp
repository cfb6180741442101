#include "cli/dialog_choice.h"

#include <unistd.h>

#include "cli/exit_status.h"

namespace cli {

terminals current_terminals() {
    return {::isatty(STDIN_FILENO) == 1, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
}

dialog_kind choose_dialog(const command_options& options, const terminals& streams) {
    if (options.output) return dialog_kind::options;
    if (!streams.output) return dialog_kind::standard_output;
    if (!streams.input || !streams.error) throw usage_error("no --output given, and no terminal to ask where to write");
    if (options.track_list && *options.track_list == "-")
        throw usage_error("--tracks - reads standard input, so the terminal cannot be asked: give --output");
    return dialog_kind::prompt;
}

}  // namespace cli
