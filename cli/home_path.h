// "~" in paths typed at the prompt, as a shell would read it, and the home folder shown as "~".
#pragma once

#include <string>

namespace cli {

// "~" and "~/x" are the home folder (HOME, else the password database), "~user/x" that user's;
// anything else, or an unknown user, stays as typed.
std::string expand_home(const std::string& typed);

// A path inside the home folder as "~/..."; any other path as it is.
std::string abbreviate_home(const std::string& path);

}  // namespace cli
