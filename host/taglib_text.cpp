#include "host/taglib_text.h"

#include <cstdint>

namespace host {

std::string utf8_of(const TagLib::String& text) {
    const wchar_t* units = text.toCWString();
    const std::size_t count = text.size();
    // The length first, so the text is written in place, in one allocation at most.
    std::size_t length = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto unit = static_cast<std::uint32_t>(units[i]);
        if (unit >= 0x10000 || (unit >= 0xD800 && unit <= 0xDFFF))
            return text.to8Bit(true);  // surrogate pairs, and whatever is not a UTF-16 unit
        length += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
    }
    std::string out(length, '\0');
    char* at = out.data();
    for (std::size_t i = 0; i < count; ++i) {
        const auto unit = static_cast<std::uint32_t>(units[i]);
        if (unit < 0x80) {
            *at++ = static_cast<char>(unit);
        } else if (unit < 0x800) {
            *at++ = static_cast<char>(0xC0 | (unit >> 6));
            *at++ = static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            *at++ = static_cast<char>(0xE0 | (unit >> 12));
            *at++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

}  // namespace host
