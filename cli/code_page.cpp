#include "cli/code_page.h"

#include <algorithm>

#include "cli/exit_status.h"
#include "platform/standin.h"

namespace cli {

std::vector<std::string> iconv_names_of_code_page(const std::string& name) {
    const bool number = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number) return {name};
    if (name == "65001") return {"UTF-8"};
    return {"windows-" + name, "CP" + name};
}

void use_code_page(const std::string& name) {
    for (const std::string& candidate : iconv_names_of_code_page(name)) {
        if (platform::standin::set_ansi_code_page(candidate.c_str())) return;
    }
    throw usage_error("unknown code page \"" + name + "\" (give a Windows code page number such as 1251, or an iconv name)");
}

}  // namespace cli
