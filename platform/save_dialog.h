// The save-file dialog. On Windows: GetSaveFileNameW with an OPENFILENAMEW built from these
// settings. Elsewhere: the answerer the hosting program installed (none: a cancel).
#pragma once

#include "abi/types.h"

namespace platform {

// Win32's OFN_* bits, by value.
inline constexpr t_uint32 ofn_overwrite_prompt = 0x00000002;
inline constexpr t_uint32 ofn_path_must_exist = 0x00000800;
inline constexpr t_uint32 ofn_file_must_exist = 0x00001000;

struct save_dialog_settings {
    const char16_t* title = nullptr;
    // Description and pattern pairs, each NUL-terminated, the whole ending in a second NUL.
    const char16_t* filter = nullptr;
    // 1-based. In: the preselected filter; out: the chosen one.
    t_uint32 filter_index = 0;
    // Appended when the user types a name without extension.
    const char16_t* default_extension = nullptr;
    t_uint32 flags = 0;
    // In: the proposed name; out: the chosen path, NUL-terminated.
    char16_t* file = nullptr;
    t_uint32 file_capacity = 0;  // units in file
};

// True when the user confirmed a file name. A failure to show the dialog is a cancel.
bool show_save_dialog(save_dialog_settings& settings) noexcept;

}  // namespace platform
