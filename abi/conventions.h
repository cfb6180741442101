// The conventions every interface shares: a text length of all ones meaning "up to the NUL", the
// all-ones index meaning "not found", and the one way both sides measure a text argument.
#pragma once

#include "abi/types.h"

namespace vesk {
// A text length of all ones means "up to the terminating NUL".
inline constexpr t_uint32 length_up_to_nul = 0xFFFFFFFFu;
// The all-ones index means "not found".
inline constexpr t_uint32 index_not_found = 0xFFFFFFFFu;

// Bytes before the first NUL, but at most max_length; max_length == length_up_to_nul (all ones)
// means up to the NUL. A null text has length 0. Never reads past the NUL or past max_length bytes.
inline t_uint32 text_length(const char* text, t_uint32 max_length) noexcept {
    if (!text) return 0;
    t_uint32 n = 0;
    while (n < max_length && text[n] != 0) ++n;
    return n;
}
}  // namespace vesk
