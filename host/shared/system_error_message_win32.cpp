// The system's text for an error code, on Windows: the code is a Win32 error (GetLastError), its
// text comes from FormatMessageW and is handed on in UTF-8.

#include <windows.h>

#include <new>

#include "abi/shared_library.h"

namespace {

// The system's texts end in a line break ("Access is denied.\r\n"); a message composed from one
// wants the sentence alone.
int trimmed_length(const wchar_t* text, int length) {
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
        --length;
    }
    return length;
}

// Frees what FormatMessageW allocated.
class local_text {
public:
    local_text() = default;
    ~local_text() {
        if (text_) LocalFree(text_);
    }
    local_text(const local_text&) = delete;
    local_text& operator=(const local_text&) = delete;

    wchar_t** receiver() { return &text_; }
    const wchar_t* get() const { return text_; }

private:
    wchar_t* text_ = nullptr;
};

}  // namespace

bool uFormatSystemErrorMessage(vesk::string_base& out, t_uint32 code) {
    local_text wide;
    const DWORD units = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code, 0,
        reinterpret_cast<LPWSTR>(wide.receiver()), 0, nullptr);
    if (units == 0 || wide.get() == nullptr) return false;
    const int length = trimmed_length(wide.get(), static_cast<int>(units));
    if (length == 0) return false;

    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.get(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    // Freed however the assignment ends: the caller's string raises when it cannot grow.
    struct utf8_block {
        char* bytes;
        ~utf8_block() { delete[] bytes; }
    } utf8{new (std::nothrow) char[static_cast<unsigned>(bytes)]};
    if (!utf8.bytes) return false;
    const bool converted =
        WideCharToMultiByte(CP_UTF8, 0, wide.get(), length, utf8.bytes, bytes, nullptr, nullptr) == bytes;
    if (converted) out.assign(utf8.bytes, static_cast<t_uint32>(bytes));
    return converted;
}
