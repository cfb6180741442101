// Choosing the stand-in "system ANSI code page" from --codepage.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The iconv names to try for a code page, most likely first. A Windows code page number ("1251")
// stands for its Windows code page ("windows-1251", else "CP1251"; 65001 is UTF-8); every other
// name goes to iconv as it is.
std::vector<std::string> iconv_names_of_code_page(const std::string& name);

// Makes the code page the one the ANSI formats write in; usage_error when iconv knows none of its
// names, or when it is no ANSI code page (one that changes ASCII text, such as UTF-16).
void use_code_page(const std::string& name);

}  // namespace cli
