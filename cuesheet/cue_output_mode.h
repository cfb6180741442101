// The four forms a sheet can be written in, one per filter of the save dialog; the filter table
// in save_dialog.cpp pairs each filter with its form.
#pragma once

#include "abi/types.h"

enum cue_output_mode : t_uint32 {
    utf8_per_file = 0,
    ansi_per_file = 1,
    utf8_album_image = 2,
    ansi_album_image = 3,
};

// FILE lines name one "Image." file instead of each track's own.
inline constexpr bool is_album_image(cue_output_mode mode) noexcept {
    return mode == utf8_album_image || mode == ansi_album_image;
}

// The sheet is written in the system ANSI code page instead of UTF-8.
inline constexpr bool is_ansi(cue_output_mode mode) noexcept {
    return mode == ansi_per_file || mode == ansi_album_image;
}
