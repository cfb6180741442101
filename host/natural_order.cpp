#include "host/natural_order.h"

#include <cstddef>

namespace host {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

unsigned char folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

std::size_t digit_run_end(std::string_view s, std::size_t from) {
    while (from < s.size() && is_digit(s[from])) ++from;
    return from;
}

// <0, 0 or >0; digit runs of any length compare without converting to a number.
int natural_compare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const std::size_t a_end = digit_run_end(a, i);
            const std::size_t b_end = digit_run_end(b, j);
            while (i + 1 < a_end && a[i] == '0') ++i;
            while (j + 1 < b_end && b[j] == '0') ++j;
            const std::size_t a_digits = a_end - i;
            const std::size_t b_digits = b_end - j;
            if (a_digits != b_digits) return a_digits < b_digits ? -1 : 1;
            const int c = a.substr(i, a_digits).compare(b.substr(j, b_digits));
            if (c != 0) return c;
            i = a_end;
            j = b_end;
            continue;
        }
        if (folded(a[i]) != folded(b[j])) return folded(a[i]) < folded(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

bool natural_less(std::string_view a, std::string_view b) {
    const int c = natural_compare(a, b);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace host
