#include "cli/per_disc.h"

#include <algorithm>

#include "cli/answer_choice.h"
#include "cli/discs.h"
#include "cli/messages.h"
#include "cli/output_target.h"
#include "host/local_filesystem.h"

namespace cli {

exit_status run_per_disc(export_host& host, const command_options& options, std::vector<host::track_entry> tracks) {
    const std::vector<disc> discs = split_into_discs(std::move(tracks));
    const bool to_folder = options.output && names_directory(*options.output);
    if (options.output && *options.output != "-" && !to_folder && discs.size() > 1) {
        throw usage_error("--per-disc finds " + std::to_string(discs.size()) + " discs, but -o " + *options.output +
                          " names one file: give a folder, or - for standard output");
    }
    const std::vector<disc_target> targets =
        disc_targets(discs, to_folder ? host::local_filesystem::local_path_of(options.output->c_str()) : std::string());

    exit_status worst = exit_status::written;
    std::vector<std::string> written;
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const disc& d = discs[i];
        const std::optional<std::string> typed = to_folder ? std::optional<std::string>(targets[i].folder) : options.output;
        const installed_dialog_answer dialog(dialog_answer_for(options, typed, targets[i].named_apart ? d.number : 0));
        const exit_status status = host.run_cue_sheet_command(d.tracks, dialog);
        if (status == exit_status::written) {
            written.push_back(dialog.outcome().path);
        } else {
            report("disc " + std::to_string(d.number) + " (" + d.folder + "): no sheet written");
        }
        worst = static_cast<exit_status>(std::max(code_of(worst), code_of(status)));
    }
    if (!options.quiet && !written.empty()) {
        std::string line = "wrote " + std::to_string(written.size()) + (written.size() == 1 ? " sheet" : " sheets");
        if (options.output && *options.output == "-") {
            line += " to standard output";
        } else {
            for (std::size_t i = 0; i < written.size(); ++i) line += (i == 0 ? ": " : ", ") + written[i];
        }
        report(line);
    }
    return worst;
}

}  // namespace cli
