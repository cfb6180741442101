// A failed Win32 call, carrying its error code and the system's text for it.
#pragma once

#include <exception>

#include "abi/types.h"

class ORVANTA_SHARED_TYPE exception_win32 : public std::exception {
public:
    // Asks the host for the system's text for code, or writes "Unknown error code (N)".
    // Raises std::bad_alloc when the text cannot be kept.
    explicit exception_win32(t_uint32 code);
    exception_win32(const exception_win32& other) noexcept;
    exception_win32& operator=(const exception_win32& other) noexcept;
    ~exception_win32() override;

    const char* what() const noexcept override;
    t_uint32 code() const noexcept { return code_; }

private:
    t_uint32 code_;
    char* text_;  // our own heap copy; null only when a copy found no memory for it
};
