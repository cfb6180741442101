#include "host/taglib_text.h"

#include <cstdint>

namespace host {

std::string utf8_of(const TagLib::String& text) {
    const wchar_t* units = text.toCWString();
    const std::size_t count = text.size();
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto unit = static_cast<std::uint32_t>(units[i]);
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            out += static_cast<char>(0xC0 | (unit >> 6));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else if (unit < 0xD800 || (unit > 0xDFFF && unit < 0x10000)) {
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            return text.to8Bit(true);  // surrogate pairs, and whatever is not a UTF-16 unit
        }
    }
    return out;
}

}  // namespace host
