// What --version prints: the command's own version and build, then the version the component
// reports in its version record, so a command and a component from different builds tell apart.
#pragma once

#include <string>

namespace cli {

// Prints both versions on standard output and returns the exit status: 3 when the component
// cannot be loaded or keeps no version record (the reason on standard error).
int print_versions(const std::string& component_path);

}  // namespace cli
