// The command's exit statuses, and the error that ends a run as a usage error.
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

enum class exit_status : int {
    written = 0,         // the cue sheet is in place
    cancelled = 1,       // the dialog was cancelled or replacing a file was declined
    usage_error = 2,     // bad options or unreadable input; nothing was written
    export_failed = 3,   // the command ran and failed; its message is on standard error
    refused = 4,         // warnings under --strict (nothing written), or findings of a check
};

inline int code_of(exit_status status) { return static_cast<int>(status); }

// Bad options, an empty selection, an output path the dialog would not take: the run stops with
// status 2 before anything is written. The message is for the user, without the program's prefix.
class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace cli
