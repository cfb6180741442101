// The host's helper library (shared.dll in the player, libshared.so here). The component links
// against it; the functions live in the host.
#pragma once

#include "abi/string_base.h"
#include "abi/types.h"

#if defined(_WIN32)
#if defined(SHARED_LIBRARY_BUILD)
#define SHARED_API __declspec(dllexport)
#else
#define SHARED_API __declspec(dllimport)
#endif
#else
#define SHARED_API __attribute__((visibility("default")))
#endif

// 0 when the two UTF-8 texts are equal ignoring case; otherwise their order ignoring case.
SHARED_API int stricmp_utf8(const char* a, const char* b);
// As stricmp_utf8 over at most the given byte lengths (all ones: up to the NUL).
SHARED_API int stricmp_utf8_ex(const char* a, t_uint32 a_length, const char* b, t_uint32 b_length);
// Appends text to out with every match of search replaced by replacement; returns the number of
// replacements.
SHARED_API t_uint32 uReplaceStringAdd(vesk::string_base& out, const char* text, t_uint32 text_length,
                                      const char* search, t_uint32 search_length, const char* replacement,
                                      t_uint32 replacement_length, bool case_sensitive);
// True and the operating system's text for the error code; false when it has none.
SHARED_API bool uFormatSystemErrorMessage(vesk::string_base& out, t_uint32 code);

// Marks a scope for the host's diagnostics.
class SHARED_API uCallStackTracker {
public:
    explicit uCallStackTracker(const char* label);
    ~uCallStackTracker();
    uCallStackTracker(const uCallStackTracker&) = delete;
    uCallStackTracker& operator=(const uCallStackTracker&) = delete;

private:
    [[maybe_unused]] const char* label_;
};
