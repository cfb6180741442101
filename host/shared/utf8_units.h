// Walking UTF-8 texts that may be cut short or malformed.
#pragma once

#include <cstddef>

#include "abi/types.h"

namespace shared {

// One step through a text: a code point of a well-formed sequence, or a single raw byte where no
// well-formed sequence starts (a stray continuation byte, an overlong form, a surrogate, a value past
// U+10FFFF, or a sequence cut off by the end of the text).
struct utf8_unit {
    t_uint32 value;    // the code point, or the raw byte
    std::size_t size;  // bytes taken, at least 1
    bool raw;
};

// The unit that starts text; available > 0 bytes may be read and no more.
utf8_unit read_utf8_unit(const unsigned char* text, std::size_t available) noexcept;

}  // namespace shared
