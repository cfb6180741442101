// Conversion of UTF-16 text to the system ANSI code page. On Windows: WideCharToMultiByte(CP_ACP).
// Elsewhere: iconv into the stand-in's code page (windows-1252 unless the hosting program chose
// another), each character the code page cannot hold becoming one '?'.
#pragma once

namespace platform {

// WideCharToMultiByte's contract with no flags and no default character: units == -1 converts
// through the terminator and counts it; out_bytes == 0 asks for the size only. Returns the bytes
// written (or needed), 0 on failure.
int wide_to_ansi(const char16_t* text, int units, char* out, int out_bytes) noexcept;

}  // namespace platform
