// The save dialog answered from --output, --format and --overwrite.
#pragma once

#include <optional>
#include <string>

#include "cli/dialog_answer.h"

namespace cli {

// typed is the --output value: the path is completed as the dialog completes a typed name, must
// lie in an existing folder, and may replace an existing file only with overwrite.
dialog_outcome answer_from_options(const dialog_request& request, const std::string& typed, t_uint32 filter_index,
                                   bool overwrite);

// The same checks before any input is read, where the answer does not depend on the proposed
// name (that is, unless typed names a directory): nothing when the answer can still be given.
std::optional<dialog_outcome> check_output_early(const std::string& typed, bool overwrite);

// What a completed path's state means for an answer: nothing when it can be written.
std::optional<dialog_outcome> objection_to_target(const std::string& path, const dialog_request& request,
                                                  bool overwrite);

}  // namespace cli
