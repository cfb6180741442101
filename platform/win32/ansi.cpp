// Conversion to the system ANSI code page: WideCharToMultiByte with no flags and no default
// character, so unmappable characters take the code page's own best-fit or default.

#include <windows.h>

#include "platform/ansi.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t));

namespace platform {

int wide_to_ansi(const char16_t* text, int units, char* out, int out_bytes) noexcept {
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(text), units, out, out_bytes, nullptr, nullptr);
}

}  // namespace platform
