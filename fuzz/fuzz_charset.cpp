// The component's UTF-8 decoding and its conversions to UTF-16 and to the ANSI code page, on any
// bytes: decoded characters encode back to the same bytes, the UTF-16 count matches the
// conversion, valid text survives the round trip, and ASCII passes the code page unchanged.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "vesk/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);  // NUL-terminated by std::string
    const char* bytes = text.c_str();
    const auto n = static_cast<t_uint32>(size);

    // Decoding, character by character, up to the first NUL or bad sequence.
    t_uint32 decoded = 0;
    bool beyond_utf16 = false;  // surrogates and code points past U+10FFFF, which UTF-16 cannot carry
    while (decoded < n) {
        t_uint32 code_point = 0;
        const t_uint32 max = n - decoded < 6 ? n - decoded : 6;
        const t_uint32 length = vesk::decode_utf8_char(bytes + decoded, max, &code_point);
        if (length == 0) break;
        FUZZ_CHECK(length <= max);
        char again[6];
        FUZZ_CHECK(vesk::encode_utf8_char(code_point, again) == length);
        FUZZ_CHECK(std::memcmp(again, bytes + decoded, length) == 0);
        beyond_utf16 |= (code_point >= 0xD800 && code_point <= 0xDFFF) || code_point > 0x10FFFF;
        decoded += length;
    }

    // To UTF-16: the counted room is exactly what the conversion fills.
    const t_uint32 units = vesk::utf16_units_for_utf8(bytes, n);
    FUZZ_CHECK(units >= 1);
    std::vector<char16_t> wide(units + 8, u'\xFFFF');
    const t_uint32 written = vesk::utf8_to_utf16(wide.data(), units, bytes, n);
    FUZZ_CHECK(written + 1 == units);
    FUZZ_CHECK(wide[written] == 0);
    FUZZ_CHECK(wide[units] == u'\xFFFF');  // nothing past the room

    // And back: text of valid characters below the path buffer's size comes back byte for byte.
    char narrow[vesk::utf8_path_capacity];
    const t_uint32 back = vesk::utf16_to_utf8(narrow, wide.data());
    FUZZ_CHECK(back < vesk::utf8_path_capacity && narrow[back] == '\0');
    const bool whole = decoded == n || bytes[decoded] == '\0';
    if (whole && !beyond_utf16 && decoded < vesk::utf8_path_capacity) {
        FUZZ_CHECK(back == decoded);
        FUZZ_CHECK(std::memcmp(narrow, bytes, decoded) == 0);
    }
    const vesk::utf16_text dialog_text = vesk::utf16_text_from_utf8(bytes);
    FUZZ_CHECK(dialog_text.size() >= 1);

    // To the ANSI code page (windows-1252): always terminated, ASCII kept as it is.
    const vesk::ansi_text ansi = vesk::ansi_text_from_utf8(bytes, n);
    FUZZ_CHECK(ansi.size() >= 1 && ansi.data()[ansi.size() - 1] == '\0');
    const std::size_t up_to_nul = std::strlen(bytes);
    bool ascii = true;
    for (std::size_t i = 0; i < up_to_nul; ++i) ascii &= static_cast<unsigned char>(bytes[i]) < 0x80;
    if (ascii) {
        FUZZ_CHECK(ansi.size() == up_to_nul + 1);
        FUZZ_CHECK(std::memcmp(ansi.data(), bytes, up_to_nul) == 0);
    }
    return 0;
}
