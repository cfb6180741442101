// What the save dialog does with a typed name before it closes: complete it into a path, and look
// at what is there.
#pragma once

#include <string>

namespace cli {

// "-" (standard output) stays as it is. A name of an existing directory gets the proposed name
// inside it. An existing device or FIFO stays as it is. A last component without extension gets the default extension, as the dialog appends
// it ("sheet" becomes "sheet.cue", "sheet." too).
std::string complete_typed_path(const std::string& typed, const std::string& proposed,
                                const std::string& default_extension);

// True when typed names an existing directory (a "file://" URL included).
bool names_directory(const std::string& typed);

enum class target_state {
    standard_output,  // "-"
    new_file,         // nothing there yet, in an existing folder
    exists,           // something is there: replacing it needs confirmation
    special,          // an existing device or FIFO: written into, nothing is replaced
    folder_missing,   // the dialog insists the folder exists
    not_local,        // a URL of another scheme: no filesystem here takes it
};

target_state state_of_target(const std::string& path);

}  // namespace cli
