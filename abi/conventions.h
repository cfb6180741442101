// The two all-ones values every interface uses: a text length meaning "up to the NUL" and the
// index meaning "not found".
#pragma once

#include "abi/types.h"

namespace vesk {
// A text length of all ones means "up to the terminating NUL".
inline constexpr t_uint32 length_up_to_nul = 0xFFFFFFFFu;
// The all-ones index means "not found".
inline constexpr t_uint32 index_not_found = 0xFFFFFFFFu;
}  // namespace vesk
