#include "cli/warned_answer.h"

#include <filesystem>
#include <system_error>

#include "cli/proposal.h"
#include "cli/sheet_warnings.h"
#include "platform/standin.h"

namespace cli {

dialog_answer_function with_warnings(dialog_answer_function answer, const host::host_track_list& tracks,
                                     const command_options& options, warning_list& warnings) {
    return [answer = std::move(answer), &tracks, &options, &warnings](const dialog_request& component_request) {
        dialog_request request = component_request;
        const std::string folder = tracks.size() > 0 ? track_folder(tracks.handle(0).location()->path()) : std::string();
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) request.default_folder = folder;
        const std::string proposal = proposal_or_folder_name(request.proposed_name, folder);
        request.proposal_from_folder = proposal != request.proposed_name;
        request.proposed_name = proposal;
        dialog_outcome outcome = answer(request);
        if (outcome.what != dialog_outcome::kind::answered) return outcome;
        sheet_plan plan;
        plan.tracks = &tracks;
        plan.filter_index = outcome.filter_index;
        plan.code_page = platform::standin::ansi_code_page();
        plan.whole_files = !options.track_list;
        for (const std::string& warning : sheet_warnings(plan)) warnings.add(warning);
        if (options.strict && warnings.count() > 0)
            return dialog_outcome::withhold(std::to_string(warnings.count()) +
                                            (warnings.count() == 1 ? " warning" : " warnings") +
                                            " and --strict: nothing written");
        return outcome;
    };
}

}  // namespace cli
