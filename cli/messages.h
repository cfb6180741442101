// Messages to the user on standard error, each prefixed with the program's name.
#pragma once

#include <string_view>

namespace cli {

void report(std::string_view message);

}  // namespace cli
