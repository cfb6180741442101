// Reporting for the test programs that run under Wine: one line per check on standard output, and
// the exit status CTest reads (0: every check passed). The test host also builds on Linux, where
// the same report goes through write(2).
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstring>

namespace wine_check {

inline int failures = 0;

inline void write(const char* text) {
#if defined(_WIN32)
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
#else
    for (std::size_t left = std::strlen(text); left > 0;) {
        const ssize_t written = ::write(STDOUT_FILENO, text, left);
        if (written <= 0) return;
        text += written;
        left -= static_cast<std::size_t>(written);
    }
#endif
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

// A count, with both numbers shown when they differ.
inline void expect_count(unsigned long actual, unsigned long expected, const char* what) {
    expect(actual == expected, what);
    if (actual != expected) {
        char digits[2][24];
        for (int k = 0; k < 2; ++k) {
            unsigned long value = k == 0 ? actual : expected;
            char* end = digits[k] + sizeof digits[k] - 1;
            *end = '\0';
            do {
                *--end = static_cast<char>('0' + value % 10);
                value /= 10;
            } while (value != 0);
            std::memmove(digits[k], end, std::strlen(end) + 1);
        }
        write("      got ");
        write(digits[0]);
        write(", expected ");
        write(digits[1]);
        write("\n");
    }
}

inline int result() {
    write(failures == 0 ? "PASSED\n" : "FAILED\n");
    return failures == 0 ? 0 : 1;
}

}  // namespace wine_check
