// Numbers as decimal text on the stack, for messages and for the cue sheet's fixed-width fields.
#pragma once

#include "abi/types.h"

// A number or time text built on the stack; 64 bytes hold any of them with room to spare.
struct short_text {
    char text[64];
};

// Digits of value, least significant first; returns their count (at least 1).
t_uint32 reversed_digits(t_uint64 value, char (&digits)[20]) noexcept;

// value in decimal with leading zeros up to min_digits (0 counts as 1, above 63 as 63); a longer
// number is never cut. No sign.
short_text padded_decimal_text(t_uint64 value, t_uint32 min_digits) noexcept;
