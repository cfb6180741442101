#include "cli/warning_list.h"

#include "cli/messages.h"

namespace cli {

void warning_list::add(const std::string& message) {
    report("warning: " + message);
    ++count_;
}

}  // namespace cli
