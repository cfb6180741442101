// The save-file dialog: GetSaveFileNameW on a record built from the settings, every field the
// settings do not name left zero.

#include <windows.h>

#include <commdlg.h>

#include "platform/save_dialog.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t));
// The full record (with pvReserved, dwReserved and FlagsEx), as Windows 2000 and later take it.
static_assert(sizeof(OPENFILENAMEW) == 88);

namespace {

LPCWSTR wide(const char16_t* text) noexcept { return reinterpret_cast<LPCWSTR>(text); }
LPWSTR wide(char16_t* text) noexcept { return reinterpret_cast<LPWSTR>(text); }

}  // namespace

namespace platform {

bool show_save_dialog(save_dialog_settings& settings) noexcept {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = wide(settings.filter);
    dialog.nFilterIndex = settings.filter_index;
    dialog.lpstrFile = wide(settings.file);
    dialog.nMaxFile = settings.file_capacity;
    dialog.lpstrTitle = wide(settings.title);
    dialog.Flags = settings.flags;
    dialog.lpstrDefExt = wide(settings.default_extension);
    // Zero is a cancel, and also a dialog that could not be shown.
    if (!GetSaveFileNameW(&dialog)) return false;
    settings.filter_index = dialog.nFilterIndex;
    return true;
}

}  // namespace platform
