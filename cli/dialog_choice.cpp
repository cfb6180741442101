#include "cli/dialog_choice.h"

#include <unistd.h>

#include "cli/exit_status.h"

namespace cli {

terminals current_terminals() {
    return {::isatty(STDIN_FILENO) == 1, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
}

dialog_kind choose_dialog(const command_options& options, const terminals& streams,
                          const std::function<bool()>& has_display) {
    if (options.dialog == "gtk") return dialog_kind::gtk;
    const bool asked_for_prompt = options.dialog == "prompt";
    if (!asked_for_prompt) {
        if (options.output) return dialog_kind::options;
        if (!streams.output) return dialog_kind::standard_output;
        if (options.dialog == "none")
            throw usage_error("--dialog none: no --output given, and standard output is a terminal");
        if (has_display && has_display()) return dialog_kind::gtk;
    }
    if (!streams.input || !streams.error) {
        throw usage_error(asked_for_prompt ? "no terminal to ask where to write"
                                           : "no --output given, and no display or terminal to ask where to write");
    }
    if (options.track_list && *options.track_list == "-")
        throw usage_error("--tracks - reads standard input, so the terminal cannot be asked: give --output");
    return dialog_kind::prompt;
}

}  // namespace cli
