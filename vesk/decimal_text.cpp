#include "vesk/decimal_text.h"

t_uint32 reversed_digits(t_uint64 value, char (&digits)[20]) noexcept {
    t_uint32 n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return n;
}

short_text padded_decimal_text(t_uint64 value, t_uint32 min_digits) noexcept {
    constexpr t_uint32 most_digits = sizeof(short_text::text) - 1;
    if (min_digits == 0) min_digits = 1;
    if (min_digits > most_digits) min_digits = most_digits;
    char digits[20];
    t_uint32 n = reversed_digits(value, digits);
    short_text result;
    t_uint32 length = 0;
    for (t_uint32 i = n; i < min_digits; ++i) result.text[length++] = '0';
    while (n > 0) result.text[length++] = digits[--n];
    result.text[length] = 0;
    return result;
}
