// The test host's operating-system calls under Windows (Wine): LoadLibraryW, CreateFileW and
// friends, paths converted from UTF-8 to UTF-16.

#include <windows.h>

#include "tests/win32/host_os.h"

namespace {

// Longer paths are refused rather than cut.
constexpr int wide_path_capacity = 1024;

bool to_wide(const char* path, wchar_t (&out)[wide_path_capacity]) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, out, wide_path_capacity) > 0;
}

}  // namespace

namespace wine_host::os {

const char path_separator = '\\';

void* load_component() { return LoadLibraryW(L"trevalin.dll"); }

orvanta_get_interface_function component_entry(void* module) {
    return reinterpret_cast<orvanta_get_interface_function>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), "orvanta_get_interface")));
}

bool unload_component(void* module) { return FreeLibrary(static_cast<HMODULE>(module)) != FALSE; }

const char* component_file_name() { return "trevalin.dll"; }

void* create_file(const char* path) {
    wchar_t wide[wide_path_capacity];
    if (!to_wide(path, wide)) return nullptr;
    const HANDLE file =
        CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool write_file(void* file, const void* bytes, t_uint32 count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file, next, count, &written, nullptr) || written == 0) return false;
        next += written;
        count -= written;
    }
    return true;
}

bool close_file(void* file) { return CloseHandle(file) != FALSE; }

bool file_exists(const char* path) {
    wchar_t wide[wide_path_capacity];
    return to_wide(path, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

bool remove_file(const char* path) {
    wchar_t wide[wide_path_capacity];
    if (!to_wide(path, wide)) return false;
    return DeleteFileW(wide) != FALSE || GetFileAttributesW(wide) == INVALID_FILE_ATTRIBUTES;
}

bool make_folder(const char* path) {
    wchar_t wide[wide_path_capacity];
    if (!to_wide(path, wide)) return false;
    return CreateDirectoryW(wide, nullptr) != FALSE || GetLastError() == ERROR_ALREADY_EXISTS;
}

long read_file(const char* path, char* buffer, t_uint32 capacity) {
    wchar_t wide[wide_path_capacity];
    if (!to_wide(path, wide)) return -1;
    const HANDLE file =
        CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    t_uint32 size = 0;
    bool whole = false;
    for (;;) {
        DWORD got = 0;
        // One byte beyond the capacity tells a file that does not fit.
        char probe = 0;
        char* target = size < capacity ? buffer + size : &probe;
        const DWORD wanted = size < capacity ? capacity - size : 1;
        if (!ReadFile(file, target, wanted, &got, nullptr)) break;
        if (got == 0) {
            whole = true;
            break;
        }
        if (size >= capacity) break;
        size += got;
    }
    CloseHandle(file);
    return whole ? static_cast<long>(size) : -1;
}

// Wine's follows the locale: 1252 for LC_ALL=C.UTF-8, which the tests pin.
bool ansi_code_page_is_1252() { return GetACP() == 1252; }

// The dialog is real under Wine; run-with-dialog answers it on the virtual display.
void answer_dialog_with(const char*, t_uint32) {}
void cancel_dialog() {}

}  // namespace wine_host::os
