// The system's text for an error code, on POSIX systems: the code is an errno value.

#include <string.h>  // strerror_r, which only the POSIX header declares

#include <climits>
#include <cstring>

#include "abi/shared_library.h"

namespace {

// strerror_r comes in two forms: the GNU one returns the text (in the buffer or a static one), the
// XSI one returns 0 and fills the buffer, or an error number for a code it does not know.
[[maybe_unused]] const char* text_of(char* result, char*) { return result; }
[[maybe_unused]] const char* text_of(int result, char* buffer) { return result == 0 ? buffer : nullptr; }

bool starts_with(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

bool uFormatSystemErrorMessage(vesk::string_base& out, t_uint32 code) {
    if (code > static_cast<t_uint32>(INT_MAX)) {
        return false;
    }
    char buffer[256];
    const char* text = text_of(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0') {
        return false;
    }
    // Some C libraries answer every unknown code with a made-up text instead of an error: glibc
    // and the BSDs with "Unknown error" and the number, others with one fixed text, the same as
    // for a code that cannot exist.
    if (starts_with(text, "Unknown error")) {
        return false;
    }
    char unknown_buffer[256];
    const char* unknown = text_of(strerror_r(-1, unknown_buffer, sizeof unknown_buffer), unknown_buffer);
    if (unknown != nullptr && std::strcmp(text, unknown) == 0) {
        return false;
    }
    out.assign(text, vesk::length_up_to_nul);
    return true;
}
