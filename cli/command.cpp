#include "cli/command.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "cli/answer_choice.h"
#include "cli/code_page.h"
#include "cli/dialog_choice.h"
#include "cli/export_run.h"
#include "cli/gtk_dialog.h"
#include "cli/messages.h"
#include "cli/option_answer.h"
#include "cli/per_disc.h"
#include "cli/selection.h"
#include "cli/warned_answer.h"
#include "cli/written_sheets.h"
#include "platform/standin.h"

namespace cli {

namespace {

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
    std::error_code error;
    if (options.component_given && !std::filesystem::exists(options.component, error))
        throw usage_error("--component " + options.component + ": no such file");
}

// Who answers the dialog; a window needs its display open before anything is read.
dialog_kind chosen_dialog(const command_options& options) {
    const dialog_kind kind = choose_dialog(options, current_terminals(), [] { return !open_gtk_display(); });
    if (kind == dialog_kind::gtk) {
        if (const auto problem = open_gtk_display()) throw usage_error("cannot show the save dialog: " + *problem);
        // Started from a desktop, nobody reads standard error.
        if (::isatty(STDERR_FILENO) != 1) keep_failures_for_a_box();
    }
    return kind;
}

// The options as the rest of the run reads them: a dialog that asks takes -o only as where it
// starts.
command_options resolved(const command_options& options, dialog_kind kind) {
    command_options result = options;
    if (kind == dialog_kind::gtk || kind == dialog_kind::prompt) {
        result.dialog = kind == dialog_kind::gtk ? "gtk" : "prompt";
        result.dialog_start = options.output.value_or("");
        result.output.reset();
    }
    return result;
}

}  // namespace

exit_status run_command(const command_options& given) {
    check_options(given);
    const dialog_kind kind = chosen_dialog(given);
    const command_options options = resolved(given, kind);
    // What answers the dialog: -o, standard output, or nothing (a window or the prompt).
    std::optional<std::string> typed = options.output;
    if (kind == dialog_kind::standard_output) typed.emplace(1, '-');  // not `= "-"`: g++ 12 warns falsely (-Wrestrict) at -O2
    if (options.check_written && typed == "-")
        throw usage_error("--check reads the written sheet back from its file: give --output a file or folder");
    if (options.code_page) use_code_page(*options.code_page);
    if (options.output) {
        if (const auto objection = check_output_early(*options.output, options.overwrite)) {
            report(objection->message);
            if (objection->what == dialog_outcome::kind::declined) return exit_status::cancelled;
            return exit_status::usage_error;
        }
    }

    export_host host(options.component);
    warning_list warnings;
    selection chosen = read_selection(options, !options.quiet && ::isatty(STDERR_FILENO) == 1);
    // Files and folders left out were named as they were found; they count as warnings all the same.
    warnings.count_shown(chosen.left_out.size() + chosen.not_followed.size());
    for (const host::track_entry& track : chosen.tracks) {
        for (const std::string& warning : track.warnings) warnings.add(warning);
    }
    if (options.per_disc) return run_per_disc(host, options, typed, std::move(chosen.tracks), warnings);
    // The records move into the selection; the warnings read them there, so they are held once.
    host::host_track_list selection(std::move(chosen.tracks));
    const installed_dialog_answer dialog(with_warnings(dialog_answer_for(options, typed), selection, options, warnings));
    const exit_status status = host.run_cue_sheet_command(selection, dialog);
    const dialog_outcome& outcome = dialog.outcome();
    if (status != exit_status::written || outcome.path == "-") return status;
    return after_writing([&] {
        return report_written(
            {{outcome.path, selection.size(), outcome.filter_index, platform::standin::ansi_code_page()}}, options);
    });
}

}  // namespace cli
