#include "cli/answer_choice.h"

#include <iostream>

#include "cli/discs.h"
#include "cli/gtk_dialog.h"
#include "cli/line_editor.h"
#include "cli/messages.h"
#include "cli/option_answer.h"
#include "cli/output_target.h"
#include "cli/terminal_prompt.h"

namespace cli {

namespace {

dialog_answer_function asking_answer(const command_options& options) {
    prompt_choices choices;
    if (options.format_given) choices.filter_index = options.filter_index;
    choices.overwrite = options.overwrite;
    if (options.dialog == "gtk") {
        return [choices, start = options.dialog_start](const dialog_request& request) {
            return ask_with_gtk(request, choices, start);
        };
    }
    return [choices, start = options.dialog_start](dialog_request request) {
        if (!start.empty())
            request.proposed_name = complete_typed_path(start, request.proposed_name, request.default_extension);
        return prompt_for_output(request, choices, std::cin, std::cerr, edit_line);
    };
}

}  // namespace

dialog_answer_function dialog_answer_for(const command_options& options, const std::optional<std::string>& typed,
                                         unsigned long disc_number) {
    dialog_answer_function answer;
    if (typed) {
        answer = [typed = *typed, filter = options.filter_index, overwrite = options.overwrite](
                     const dialog_request& request) {
            if (request.proposal_from_folder && names_directory(typed))
                report("the first track has no album title: the sheet is named after its folder, \"" +
                       request.proposed_name + "\"");
            return answer_from_options(request, typed, filter, overwrite);
        };
    } else {
        answer = asking_answer(options);
    }
    if (disc_number == 0) return answer;
    return [answer, disc_number](dialog_request request) {
        request.proposed_name = disc_file_name(request.proposed_name, disc_number);
        return answer(request);
    };
}

}  // namespace cli
