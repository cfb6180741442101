#include "cli/per_disc.h"

#include <algorithm>

#include "cli/answer_choice.h"
#include "cli/discs.h"
#include "cli/messages.h"
#include "cli/output_target.h"
#include "cli/warned_answer.h"
#include "cli/written_sheets.h"
#include "host/local_filesystem.h"
#include "platform/standin.h"

namespace cli {

exit_status run_per_disc(export_host& host, const command_options& options, const std::optional<std::string>& typed,
                         std::vector<host::track_entry> tracks, warning_list& warnings) {
    std::vector<disc> discs = split_into_discs(std::move(tracks));
    const bool to_folder = typed && names_directory(*typed);
    if (typed && *typed != "-" && !to_folder && discs.size() > 1) {
        throw usage_error("--per-disc finds " + std::to_string(discs.size()) + " discs, but -o " + *typed +
                          " names one file: give a folder, or - for standard output");
    }
    const std::vector<disc_target> targets =
        disc_targets(discs, to_folder ? host::local_filesystem::local_path_of(typed->c_str()) : std::string());

    exit_status worst = exit_status::written;
    std::vector<written_sheet> written;
    for (std::size_t i = 0; i < discs.size(); ++i) {
        disc& d = discs[i];
        const std::optional<std::string> answer = to_folder ? std::optional<std::string>(targets[i].folder) : typed;
        host::host_track_list selection(std::move(d.tracks));
        const installed_dialog_answer dialog(with_warnings(
            dialog_answer_for(options, answer, targets[i].named_apart ? d.number : 0), selection, options, warnings));
        const exit_status status = host.run_cue_sheet_command(selection, dialog);
        if (status == exit_status::written) {
            const dialog_outcome& outcome = dialog.outcome();
            // A sheet in place stays a written sheet, even when there is no memory left to list it.
            after_writing([&] {
                written.push_back(
                    {outcome.path, selection.size(), outcome.filter_index, platform::standin::ansi_code_page()});
                return exit_status::written;
            });
        } else {
            report("disc " + std::to_string(d.number) + " (" + d.folder + "): no sheet written");
        }
        worst = static_cast<exit_status>(std::max(code_of(worst), code_of(status)));
    }
    if (typed == "-") {
        if (!options.quiet && !written.empty())
            report("wrote " + std::to_string(written.size()) + (written.size() == 1 ? " sheet" : " sheets") +
                   " to standard output");
        return worst;
    }
    const exit_status after = after_writing([&] { return report_written(written, options); });
    return static_cast<exit_status>(std::max(code_of(worst), code_of(after)));
}

}  // namespace cli
