// Case-insensitive comparison of UTF-8 texts by simple case folding.
//
// Lengths: all ones means up to the NUL; any other value is a byte limit, and the text still ends at
// a NUL before it. A null text is empty. The order is that of the folded code points, a text that
// is a prefix of the other coming first. From the first byte that does not start a well-formed
// sequence in either text, the rest of both texts is compared byte by byte, so malformed texts
// still have a stable order and only identical malformed bytes compare equal.

#include <cstring>

#include "abi/shared_library.h"
#include "host/shared/case_folding.h"
#include "host/shared/utf8_units.h"

namespace {

int sign_of_byte_order(const unsigned char* a, std::size_t a_length, const unsigned char* b,
                       std::size_t b_length) noexcept {
    const std::size_t common = a_length < b_length ? a_length : b_length;
    const int order = common == 0 ? 0 : std::memcmp(a, b, common);
    if (order != 0) {
        return order < 0 ? -1 : 1;
    }
    return a_length == b_length ? 0 : (a_length < b_length ? -1 : 1);
}

}  // namespace

int stricmp_utf8_ex(const char* a, t_uint32 a_length, const char* b, t_uint32 b_length) {
    // Finding the ends first means the decoder never looks past a NUL or a limit.
    const std::size_t a_end = vesk::text_length(a, a_length);
    const std::size_t b_end = vesk::text_length(b, b_length);
    const auto* a_bytes = reinterpret_cast<const unsigned char*>(a);
    const auto* b_bytes = reinterpret_cast<const unsigned char*>(b);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a_end && j < b_end) {
        const shared::utf8_unit a_unit = shared::read_utf8_unit(a_bytes + i, a_end - i);
        const shared::utf8_unit b_unit = shared::read_utf8_unit(b_bytes + j, b_end - j);
        if (a_unit.raw || b_unit.raw) {
            return sign_of_byte_order(a_bytes + i, a_end - i, b_bytes + j, b_end - j);
        }
        const t_uint32 a_folded = shared::fold_case(a_unit.value);
        const t_uint32 b_folded = shared::fold_case(b_unit.value);
        if (a_folded != b_folded) {
            return a_folded < b_folded ? -1 : 1;
        }
        i += a_unit.size;
        j += b_unit.size;
    }
    if (i < a_end) {
        return 1;
    }
    return j < b_end ? -1 : 0;
}

int stricmp_utf8(const char* a, const char* b) {
    return stricmp_utf8_ex(a, vesk::length_up_to_nul, b, vesk::length_up_to_nul);
}
