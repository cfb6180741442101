// How the command answers the save dialog: from -o and its companions, or by asking in a window or
// on the terminal (options.dialog).
#pragma once

#include <optional>
#include <string>

#include "cli/dialog_answer.h"
#include "cli/options.h"

namespace cli {

// typed stands for the -o value (nothing: ask). A disc number other than 0 names
// the sheet apart from the other discs': " (Disc N)" goes into the proposed name.
dialog_answer_function dialog_answer_for(const command_options& options, const std::optional<std::string>& typed,
                                         unsigned long disc_number = 0);

}  // namespace cli
