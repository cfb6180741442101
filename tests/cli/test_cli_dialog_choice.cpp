// Who answers the save dialog when --dialog is given or a display is there.

#include <gtest/gtest.h>

#include <optional>

#include "cli/dialog_choice.h"
#include "cli/exit_status.h"

namespace {

using cli::dialog_kind;

TEST(cli_dialog_choice, the_dialog_option_then_a_display_before_the_terminal) {
    struct row {
        const char* asked;  // --dialog
        bool output_given;
        cli::terminals streams;
        bool display;
        std::optional<dialog_kind> chosen;  // nothing: a usage error
        bool display_asked;                 // opening a display takes time: only when it decides
    };
    const cli::terminals all{true, true, true}, piped_out{true, false, true}, none{};
    const row rows[] = {
        // gtk and prompt win over -o and standard output.
        {"gtk", true, none, false, dialog_kind::gtk, false},
        {"prompt", true, all, true, dialog_kind::prompt, false},
        {"prompt", false, none, true, std::nullopt, false},  // no terminal to ask on
        // none: only -o or standard output.
        {"none", true, all, true, dialog_kind::options, false},
        {"none", false, piped_out, true, dialog_kind::standard_output, false},
        {"none", false, all, true, std::nullopt, false},
        // Chosen by the situation: a display comes before the terminal.
        {"", false, all, true, dialog_kind::gtk, true},
        {"", false, all, false, dialog_kind::prompt, true},
        {"", false, {false, true, false}, false, std::nullopt, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "--dialog '" << r.asked << "' -o " << r.output_given << " terminals "
                                        << r.streams.input << r.streams.output << r.streams.error << " display "
                                        << r.display);
        cli::command_options options;
        options.dialog = r.asked;
        if (r.output_given) options.output = "x.cue";
        bool display_asked = false;
        const auto has_display = [&] {
            display_asked = true;
            return r.display;
        };
        if (r.chosen) {
            EXPECT_EQ(cli::choose_dialog(options, r.streams, has_display), *r.chosen);
        } else {
            EXPECT_THROW(cli::choose_dialog(options, r.streams, has_display), cli::usage_error);
        }
        EXPECT_EQ(display_asked, r.display_asked);
    }
}

}  // namespace
