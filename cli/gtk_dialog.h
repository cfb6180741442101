// The save dialog as a GTK window, and failures shown in a message box, through the command's GTK
// module (cli/gtk_module.h). The module is loaded on first use; the command runs without it.
#pragma once

#include <optional>
#include <string>

#include "cli/dialog_answer.h"
#include "cli/terminal_prompt.h"

namespace cli {

// Loads the module and opens the display, once: nothing when the GTK dialogs can be shown,
// otherwise why not.
std::optional<std::string> open_gtk_display();

// Shows the dialog (the display must be open). choices preselect a filter and confirm replacing
// in advance; start, when not empty, is where the dialog opens: a folder, or a file to propose.
// A name without extension gets the request's default one, and replacing a file so completed is
// confirmed as GTK confirms a typed one; declining returns to the dialog.
dialog_outcome ask_with_gtk(const dialog_request& request, const prompt_choices& choices, const std::string& start);

// Keeps every message reported from now on; a failed run then shows them in a message box
// (show_kept_failures). For runs started from a desktop, where nobody reads standard error.
void keep_failures_for_a_box();

// Shows the kept messages when status is a failure and the display is open.
void show_kept_failures(int status);

}  // namespace cli
