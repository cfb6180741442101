#include "cli/option_answer.h"

#include "cli/output_target.h"
#include "host/utf16_text.h"
#include "platform/save_dialog.h"

namespace cli {

std::optional<dialog_outcome> objection_to_target(const std::string& path, const dialog_request& request,
                                                  bool overwrite) {
    switch (state_of_target(path)) {
        case target_state::standard_output:
        case target_state::new_file:
        case target_state::special:
            return std::nullopt;
        case target_state::exists:
            if (!request.confirm_replace || overwrite) return std::nullopt;
            return dialog_outcome::decline(path + " already exists; not replaced (--overwrite replaces it)");
        case target_state::folder_missing:
            if (!request.path_must_exist) return std::nullopt;
            return dialog_outcome::refuse("cannot write " + path + ": the folder does not exist");
        case target_state::not_local:
            return dialog_outcome::refuse("cannot write " + path + ": not a local path");
    }
    return std::nullopt;
}

dialog_outcome answer_from_options(const dialog_request& request, const std::string& typed, t_uint32 filter_index,
                                   bool overwrite) {
    const std::string path = complete_typed_path(typed, request.proposed_name, request.default_extension);
    if (auto objection = objection_to_target(path, request, overwrite)) return *objection;
    return dialog_outcome::answer(path, filter_index, overwrite || !request.confirm_replace);
}

std::optional<dialog_outcome> check_output_early(const std::string& typed, bool overwrite) {
    if (typed.empty()) return dialog_outcome::refuse("the output path is empty");
    if (!host::utf16_from_utf8(typed)) return dialog_outcome::refuse("cannot write " + typed + ": the path is not valid UTF-8");
    if (names_directory(typed)) return std::nullopt;
    // The dialog as the command shows it: replace confirmation and an existing folder, "cue".
    dialog_request request;
    request.default_extension = "cue";
    request.confirm_replace = true;
    request.path_must_exist = true;
    return objection_to_target(complete_typed_path(typed, {}, request.default_extension), request, overwrite);
}

}  // namespace cli
