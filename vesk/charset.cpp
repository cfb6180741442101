#include "vesk/charset.h"

#include <climits>

#include "platform/ansi.h"

namespace {

// Lead-byte forms by sequence length minus one: a lead starts a sequence of length k when
// (lead & mask[k-1]) == value[k-1].
constexpr unsigned char lead_mask[6] = {0x80, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};
constexpr unsigned char lead_value[6] = {0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
// The smallest code point each length may carry; anything less is an overlong form, which could
// smuggle a '/' or a NUL past code that inspects bytes.
constexpr t_uint32 shortest_form[6] = {0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};

constexpr t_uint32 last_code_point = 0x10FFFF;
constexpr t_uint32 utf16_input_limit = 2048;  // units utf16_to_utf8 looks at

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

namespace vesk {

t_uint32 decode_utf8_char(const char* bytes, t_uint32 max, t_uint32* code_point) noexcept {
    if (code_point) *code_point = 0;
    if (!bytes || max == 0) return 0;
    if (max > 6) max = 6;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        if (code_point) *code_point = lead;
        return lead == 0 ? 0 : 1;
    }
    t_uint32 length = 0;
    for (t_uint32 k = 2; k <= max; ++k) {
        if ((lead & lead_mask[k - 1]) == lead_value[k - 1]) {
            length = k;
            break;
        }
    }
    if (length == 0) return 0;  // a continuation byte, 0xFE, 0xFF, or longer than max
    // Each following byte is read only after the one before it proved to be a continuation, so
    // nothing past a NUL is touched even when max reaches beyond the text.
    t_uint32 value = lead & (0xFFu >> (length + 1));
    for (t_uint32 i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) return 0;  // a NUL included
        value = (value << 6) | (next & 0x3F);
    }
    if (value < shortest_form[length - 1]) return 0;
    if (code_point) *code_point = value;
    return length;
}

t_uint32 encode_utf8_char(t_uint32 code_point, char* out) noexcept {
    t_uint32 length;
    if (code_point < 0x80) {
        length = 1;
    } else if (code_point < 0x800) {
        length = 2;
    } else if (code_point < 0x10000) {
        length = 3;
    } else if (code_point < 0x200000) {
        length = 4;
    } else if (code_point < 0x4000000) {
        length = 5;
    } else if (code_point <= 0x7FFFFFFF) {
        length = 6;
    } else {
        return 0;
    }
    if (!out) return length;
    for (t_uint32 i = length - 1; i > 0; --i) {
        out[i] = static_cast<char>(0x80 | (code_point & 0x3F));
        code_point >>= 6;
    }
    out[0] = static_cast<char>(lead_value[length - 1] | code_point);
    return length;
}

t_uint32 utf16_units_for_utf8(const char* bytes, t_uint32 max) noexcept {
    t_uint32 units = 1;  // the terminator
    t_uint32 position = 0;
    while (position < max) {
        t_uint32 code_point;
        const t_uint32 length = decode_utf8_char(bytes + position, max - position, &code_point);
        if (length == 0 || code_point == 0) break;
        position += length;
        if (code_point > last_code_point) break;
        units += code_point >= 0x10000 ? 2 : 1;
    }
    return units;
}

void append_utf16_char(utf16_buffer& buffer, t_uint32 code_point) noexcept {
    if (code_point == 0 || code_point > last_code_point) return;
    if (code_point < 0x10000) {
        if (buffer.count < buffer.capacity) buffer.units[buffer.count++] = static_cast<char16_t>(code_point);
        return;
    }
    const t_uint32 offset = code_point - 0x10000;
    if (buffer.count < buffer.capacity) {
        buffer.units[buffer.count++] = static_cast<char16_t>(0xD800 | ((offset >> 10) & 0x3FF));
    }
    if (buffer.count < buffer.capacity) {
        buffer.units[buffer.count++] = static_cast<char16_t>(0xDC00 | (code_point & 0x3FF));
    }
}

t_uint32 utf8_to_utf16(char16_t* out, t_uint32 capacity, const char* bytes, t_uint32 max) noexcept {
    if (capacity == 0) return 0;
    utf16_buffer buffer{out, capacity, 0};
    t_uint32 position = 0;
    while (position < max && buffer.count < capacity) {
        t_uint32 code_point;
        const t_uint32 length = decode_utf8_char(bytes + position, max - position, &code_point);
        if (length == 0 || code_point == 0) break;
        position += length;
        append_utf16_char(buffer, code_point);
    }
    const t_uint32 end = buffer.count < capacity - 1 ? buffer.count : capacity - 1;
    out[end] = 0;
    return end;
}

utf16_text utf16_text_from_utf8(const char* text) {
    constexpr t_uint32 bytes_read = 1024;
    utf16_text result(utf16_units_for_utf8(text, bytes_read));
    utf8_to_utf16(result.data(), result.size(), text, bytes_read);
    return result;
}

t_uint32 utf16_to_utf8(char (&out)[utf8_path_capacity], const char16_t* in) noexcept {
    t_uint32 written = 0;
    t_uint32 consumed = 0;
    while (in && written < utf8_path_capacity && consumed < utf16_input_limit) {
        const char16_t unit = in[consumed];
        if (unit == 0) break;
        t_uint32 code_point = unit;
        // A pair whose second half lies beyond the input limit is not looked at as a pair.
        if (consumed + 1 < utf16_input_limit && is_high_surrogate(unit) &&
            is_low_surrogate(in[consumed + 1])) {
            code_point = (((unit & 0x3FFu) << 10) | (in[consumed + 1] & 0x3FFu)) + 0x10000;
            consumed += 2;
        } else {
            consumed += 1;  // unpaired surrogates too: as they stand
        }
        char sequence[6];
        const t_uint32 length = encode_utf8_char(code_point, sequence);
        for (t_uint32 i = 0; i < length && written < utf8_path_capacity; ++i) {
            out[written++] = sequence[i];
        }
    }
    if (written >= utf8_path_capacity - 1) written = utf8_path_capacity - 1;
    out[written] = 0;
    return written;
}

namespace {

// Like utf8_to_utf16, except that a byte that starts no valid sequence (and a code point past
// U+10FFFF) becomes U+FFFD and the conversion goes on: the converted text is a whole cue sheet, and
// stopping at one bad byte in a tag would silently drop the rest of it. Without out, only counts.
// Returns the units, terminator included; stops at a NUL or after n bytes.
t_uint32 utf8_to_utf16_replacing(const char* bytes, t_uint32 n, char16_t* out) noexcept {
    constexpr t_uint32 replacement_character = 0xFFFD;
    t_uint32 units = 0;
    t_uint32 position = 0;
    while (position < n && bytes[position] != 0) {
        t_uint32 code_point;
        t_uint32 length = decode_utf8_char(bytes + position, n - position, &code_point);
        if (length == 0 || code_point > last_code_point) {
            code_point = replacement_character;
            if (length == 0) length = 1;
        }
        position += length;
        char16_t pair[2];
        utf16_buffer buffer{pair, 2, 0};
        append_utf16_char(buffer, code_point);
        for (t_uint32 i = 0; i < buffer.count; ++i, ++units) {
            if (out) out[units] = pair[i];
        }
    }
    if (out) out[units] = 0;
    return units + 1;
}

}  // namespace

ansi_text ansi_text_from_utf8(const char* bytes, t_uint32 n) {
    utf16_text wide(utf8_to_utf16_replacing(bytes, n, nullptr));
    utf8_to_utf16_replacing(bytes, n, wide.data());
    const t_uint32 units = utf16_length(wide.data());
    if (units == 0) return ansi_text(1);
    if (units > static_cast<t_uint32>(INT_MAX)) throw_bad_alloc();

    const int size = platform::wide_to_ansi(wide.data(), static_cast<int>(units), nullptr, 0);
    // With valid arguments the conversion can only fail for want of resources; going on would
    // hand back an empty text as if it were the converted one.
    if (size <= 0 || size == INT_MAX) throw_bad_alloc();
    ansi_text result(static_cast<t_uint32>(size) + 1);
    if (platform::wide_to_ansi(wide.data(), -1, result.data(), size + 1) == 0) throw_bad_alloc();
    result.data()[size] = 0;
    return result;
}

t_uint32 utf16_length(const char16_t* text) noexcept {
    if (!text) return 0;
    t_uint32 length = 0;
    while (text[length] != 0) ++length;
    return length;
}

}  // namespace vesk
