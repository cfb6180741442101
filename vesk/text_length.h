// The length convention of every text argument in the component.
#pragma once

#include "abi/conventions.h"

namespace vesk {

// Bytes before the first NUL, but at most max_length; max_length == length_up_to_nul (all ones)
// means up to the NUL. A null text has length 0. Never reads past the NUL or past max_length bytes.
inline t_uint32 text_length(const char* text, t_uint32 max_length) noexcept {
    if (!text) return 0;
    t_uint32 n = 0;
    while (n < max_length && text[n] != 0) ++n;
    return n;
}

}  // namespace vesk
