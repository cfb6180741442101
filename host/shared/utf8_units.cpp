// Only shortest forms of Unicode scalar values are accepted, so every code point has exactly one
// spelling and two texts compare equal only when they hold the same characters.

#include "host/shared/utf8_units.h"

namespace shared {

namespace {

bool is_continuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

}  // namespace

utf8_unit read_utf8_unit(const unsigned char* text, std::size_t available) noexcept {
    const unsigned char lead = text[0];
    const utf8_unit raw{lead, 1, true};
    if (lead < 0x80) {
        return {lead, 1, false};
    }
    std::size_t size;
    t_uint32 value;
    // The range the second byte must fall in excludes overlong forms, surrogates and values past
    // U+10FFFF before any later byte is looked at.
    unsigned char second_min = 0x80;
    unsigned char second_max = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) {
            second_min = 0xA0;
        } else if (lead == 0xED) {
            second_max = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        value = lead & 0x07;
        if (lead == 0xF0) {
            second_min = 0x90;
        } else if (lead == 0xF4) {
            second_max = 0x8F;
        }
    } else {
        return raw;
    }
    if (available < size) {
        return raw;
    }
    if (text[1] < second_min || text[1] > second_max) {
        return raw;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if (!is_continuation(text[i])) {
            return raw;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    return {value, size, false};
}

}  // namespace shared
