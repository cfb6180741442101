// Reporting for the test programs that run under Wine: one line per check on standard output, and
// the exit status CTest reads (0: every check passed).
#pragma once

#include <windows.h>

#include <cstring>

namespace wine_check {

inline int failures = 0;

inline void write(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

inline void expect(bool condition, const char* what) {
    write(condition ? "ok    " : "FAIL  ");
    write(what);
    write("\n");
    if (!condition) ++failures;
}

inline void expect_text(const char* actual, const char* expected, const char* what) {
    const bool same = actual != nullptr && std::strcmp(actual, expected) == 0;
    expect(same, what);
    if (!same) {
        write("      got \"");
        write(actual ? actual : "(null)");
        write("\", expected \"");
        write(expected);
        write("\"\n");
    }
}

inline int result() {
    write(failures == 0 ? "PASSED\n" : "FAILED\n");
    return failures == 0 ? 0 : 1;
}

}  // namespace wine_check
