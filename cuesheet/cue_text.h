// The small texts that give a cue sheet its exact look: times at 75 frames per second, numbers
// with leading zeros, ReplayGain gains and peaks, and the file name and extension of a path.
// All work on plain byte text and allocate nothing, except file_name_of_path.
#pragma once

#include "abi/types.h"
#include "vesk/decimal_text.h"
#include "vesk/string8.h"

// Gain and peak texts: at most 14 and 15 characters plus the NUL.
inline constexpr t_uint32 replaygain_text_capacity = 16;
// Extensions are kept only below this many bytes, NUL included.
inline constexpr t_uint32 extension_capacity = 32;

// "MM:SS:FF": the nearest frame at 75 per second, halves going up; minutes are not limited to two
// digits. Negative or NaN seconds give "00:00:00", a count of frames past 64 bits the largest one.
short_text cue_time_text(double seconds) noexcept;

// value with `decimals` digits after the point into out, at most capacity - 1 characters plus the
// NUL (a text that does not fit is cut; capacity 0 writes nothing). "-" for values below 0, "+"
// for others when force_plus. Rounds the magnitude to the nearest, halves up, in the thread's
// rounding mode. NaN is written as 0, a magnitude past 64 bits as the largest 64-bit number.
void fixed_point_text(double value, t_uint32 decimals, bool force_plus, t_uint32 capacity, char* out) noexcept;

// "+1.23 dB" and true; an empty text and false for the unset gain (-1000). Rounds to nearest
// whatever the thread's rounding mode, which is restored on return.
bool gain_text(float gain, char (&out)[replaygain_text_capacity]) noexcept;
// "0.980000" and true; an empty text and false for the unset peak (-1). Rounds as gain_text.
bool peak_text(float peak, char (&out)[replaygain_text_capacity]) noexcept;

// The text after the last "\\", "/", "|" or ":" of path, up to the first "?" after it; possibly
// empty. A null path counts as empty. Raises std::bad_alloc when out of memory.
vesk::string8_t<vesk::alloc_standard> file_name_of_path(const char* path);

// The text after the last "." of the path's file name part, up to the first "?" after that dot;
// empty when there is no dot or the extension has 32 characters or more.
void extension_of_path(const char* path, char (&out)[extension_capacity]) noexcept;
