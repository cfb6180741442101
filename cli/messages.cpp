#include "cli/messages.h"

#include <iostream>
#include <string>

namespace cli {

void report(std::string_view message) {
    // One write per message, so that messages of concurrent runs sharing a terminal do not interleave.
    std::string line = "trevalin: ";
    line += message;
    line += '\n';
    std::cerr << line << std::flush;
}

}  // namespace cli
