// One line read on the terminal with line editing (arrow keys, history of this run) and file-name
// completion on Tab.
#pragma once

#include <optional>
#include <string>

namespace cli {

// Shows prompt on standard error and reads standard input, which must be a terminal. Nothing
// when input ends (Ctrl-D on an empty line).
std::optional<std::string> edit_line(const std::string& prompt);

}  // namespace cli
