#include "cli/terminal_prompt.h"

#include <istream>
#include <ostream>
#include <string>

#include "cli/home_path.h"
#include "cli/messages.h"
#include "cli/option_answer.h"
#include "cli/output_target.h"
#include "host/utf16_text.h"

namespace cli {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// One answer line; nothing at the end of input. Text typed and then ended with Ctrl-D instead of
// Enter is no answer either: pressing Ctrl-D means cancel, not "yes" to a half-typed reply.
std::optional<std::string> ask(const std::string& question, std::istream& in, std::ostream& out) {
    out << question << std::flush;
    std::string line;
    if (!std::getline(in, line) || in.eof()) {
        out << '\n' << std::flush;
        return std::nullopt;
    }
    return trimmed(line);
}

t_uint32 valid_filter(std::optional<t_uint32> index, std::size_t count) {
    return index && *index >= 1 && *index <= count ? *index : 1;
}

}  // namespace

dialog_outcome prompt_for_output(const dialog_request& request, const prompt_choices& choices, std::istream& in,
                                 std::ostream& out, const name_reader& read_name) {
    const std::size_t filter_count = request.filters.size();
    t_uint32 filter = valid_filter(choices.filter_index ? choices.filter_index : request.filter_index, filter_count);

    out << request.title << '\n';
    for (std::size_t i = 0; i < filter_count; ++i) {
        out << "  " << i + 1 << ") " << request.filters[i] << (i + 1 == filter ? "  [selected]" : "") << '\n';
    }

    // Proposed beside the tracks, where the sheet's FILE lines find them.
    const std::string proposal =
        request.default_folder.empty() ? request.proposed_name : request.default_folder + "/" + request.proposed_name;
    const std::string question = "File name [" + shown_on_terminal(abbreviate_home(proposal)) + "]: ";
    std::string path;
    for (;;) {
        std::optional<std::string> typed;
        if (read_name) {
            out << std::flush;
            typed = read_name(question);
            if (typed) typed = trimmed(*typed);
        } else {
            typed = ask(question, in, out);
        }
        if (!typed) return dialog_outcome::cancel();
        const std::string name = typed->empty() ? proposal : expand_home(*typed);
        if (name.empty() || !host::utf16_from_utf8(name)) {
            out << "Please type a file name.\n";
            continue;
        }
        path = complete_typed_path(name, request.proposed_name, request.default_extension);
        // The dialog stays open on a path it cannot take, as the real one does.
        const auto objection = objection_to_target(path, request, true);
        if (!objection) break;
        out << shown_on_terminal(objection->message) << '\n';
    }

    if (filter_count > 1) {
        for (;;) {
            const auto typed = ask("Save as type [" + std::to_string(filter) + "]: ", in, out);
            if (!typed) return dialog_outcome::cancel();
            if (typed->empty()) break;
            if (typed->size() == 1 && (*typed)[0] >= '1' && static_cast<std::size_t>((*typed)[0] - '0') <= filter_count) {
                filter = static_cast<t_uint32>((*typed)[0] - '0');
                break;
            }
            out << "Please type a number from 1 to " << filter_count << ".\n";
        }
    }

    const bool confirmed = !request.confirm_replace || choices.overwrite;
    if (!confirmed && state_of_target(path) == target_state::exists) {
        const auto reply = ask(shown_on_terminal(path) + " already exists.\nDo you want to replace it? [y/N] ", in, out);
        if (!reply) return dialog_outcome::cancel();
        if (*reply != "y" && *reply != "Y" && *reply != "yes" && *reply != "Yes")
            return dialog_outcome::decline(path + " already exists; not replaced");
        return dialog_outcome::answer(path, filter, true);
    }
    return dialog_outcome::answer(path, filter, confirmed);
}

}  // namespace cli
