#include "cli/command.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "cli/answer_choice.h"
#include "cli/code_page.h"
#include "cli/export_run.h"
#include "cli/messages.h"
#include "cli/option_answer.h"
#include "cli/per_disc.h"
#include "cli/selection.h"

namespace cli {

namespace {

bool on_terminal() { return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1; }

// Everything the command line alone can tell, before any input is read.
void check_options(const command_options& options) {
    if (options.track_list && !options.inputs.empty())
        throw usage_error("give either audio files or --tracks, not both");
    if (options.track_list && !options.audio_only_given.empty()) {
        throw usage_error(options.audio_only_given.front() +
                          " applies to audio files and folders, not to a track list (--tracks)");
    }
    if (!options.track_list && options.inputs.empty())
        throw usage_error("no tracks: name audio files or directories, or a JSON track list with --tracks");
    if (!options.output) {
        if (!on_terminal()) throw usage_error("no --output given, and no terminal to ask where to write");
        if (options.track_list && *options.track_list == "-")
            throw usage_error("--tracks - reads standard input, so the terminal cannot be asked: give --output");
    }
    std::error_code error;
    if (options.component_given && !std::filesystem::exists(options.component, error))
        throw usage_error("--component " + options.component + ": no such file");
}

}  // namespace

exit_status run_command(const command_options& options) {
    check_options(options);
    if (options.code_page) use_code_page(*options.code_page);
    if (options.output) {
        if (const auto objection = check_output_early(*options.output, options.overwrite)) {
            report(objection->message);
            if (objection->what == dialog_outcome::kind::declined) return exit_status::cancelled;
            return exit_status::usage_error;
        }
    }

    export_host host(options.component);
    selection chosen = read_selection(options, !options.quiet && ::isatty(STDERR_FILENO) == 1);
    if (options.per_disc) return run_per_disc(host, options, std::move(chosen.tracks));
    const installed_dialog_answer dialog(dialog_answer_for(options, options.output));
    return host.run_cue_sheet_command(chosen.tracks, dialog);
}

}  // namespace cli
