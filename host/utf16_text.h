// The save dialog speaks UTF-16; the command line and the filesystem speak UTF-8. The host's one
// conversion between them, for the command and the tests too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

// Nothing when text is not well-formed UTF-8 (overlong forms, surrogates, stray bytes).
std::optional<std::u16string> utf16_from_utf8(std::string_view text);

// The text up to its NUL (a null pointer reads as empty). An unpaired surrogate becomes U+FFFD.
std::string utf8_from_utf16(const char16_t* text);

}  // namespace host
