#include "cli/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "cli/exit_status.h"
#include "platform/standin.h"

namespace cli {

namespace {

enum class code_page_fit { unknown, not_ansi, usable };

// A Windows ANSI code page keeps ASCII as the same single bytes. The component counts on it: it
// measures the text without its terminator and then converts it with one, and the sheet's keywords,
// quotes, times and line ends must stay readable. UTF-16, UTF-32, UTF-7 or EBCDIC would come out
// cut or garbled.
code_page_fit fit_of(const std::string& iconv_name) {
    const iconv_t cd = ::iconv_open(iconv_name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return code_page_fit::unknown;
    static const char sample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 \"'.,:;-_()\r\n";
    char in_bytes[sizeof sample];
    std::memcpy(in_bytes, sample, sizeof sample);  // iconv wants a mutable input pointer
    char out_bytes[4 * sizeof sample + 16];
    char* in = in_bytes;
    std::size_t in_left = sizeof sample;  // the terminator too
    char* out = out_bytes;
    std::size_t out_left = sizeof out_bytes;
    const bool converted = ::iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1) &&
                           ::iconv(cd, nullptr, nullptr, &out, &out_left) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    const std::size_t produced = sizeof out_bytes - out_left;
    const bool same = converted && produced == sizeof sample && std::memcmp(out_bytes, sample, produced) == 0;
    return same ? code_page_fit::usable : code_page_fit::not_ansi;
}

}  // namespace

std::vector<std::string> iconv_names_of_code_page(const std::string& name) {
    const bool number = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number) return {name};
    if (name == "65001") return {"UTF-8"};
    return {"windows-" + name, "CP" + name};
}

void use_code_page(const std::string& name) {
    for (const std::string& candidate : iconv_names_of_code_page(name)) {
        const code_page_fit fit = fit_of(candidate);
        if (fit == code_page_fit::unknown) continue;
        if (fit == code_page_fit::not_ansi)
            throw usage_error("code page \"" + name + "\" cannot be an ANSI code page: it does not keep ASCII text as it is");
        if (platform::standin::set_ansi_code_page(candidate.c_str())) return;
    }
    throw usage_error("unknown code page \"" + name + "\" (give a Windows code page number such as 1251, or an iconv name)");
}

}  // namespace cli
