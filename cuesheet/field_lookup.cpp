#include "cuesheet/field_lookup.h"

#include <cstring>

#include "abi/conventions.h"
#include "abi/shared_library.h"

namespace {

struct name_shape {
    t_uint32 length = 0;
    bool ascii = true;
};

name_shape shape_of(const char* name) noexcept {
    name_shape shape;
    for (; name[shape.length] != '\0'; ++shape.length) {
        if (static_cast<unsigned char>(name[shape.length]) >= 0x80) shape.ascii = false;
    }
    return shape;
}

char ascii_lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool matches(const char* name, name_shape shape, const char* wanted) noexcept {
    if (!shape.ascii) return stricmp_utf8_ex(name, vesk::length_up_to_nul, wanted, vesk::length_up_to_nul) == 0;
    t_uint32 i = 0;
    for (; i < shape.length; ++i) {
        if (ascii_lower(name[i]) != wanted[i]) return false;
    }
    return wanted[i] == '\0';
}

}  // namespace

bool field_name_matches(const char* name, const char* wanted) noexcept {
    if (name == nullptr) name = "";
    return matches(name, shape_of(name), wanted);
}

void find_fields(const track_info& record, const char* const* names, t_uint32 count, t_uint32* found) {
    t_uint32 missing = count;
    for (t_uint32 n = 0; n < count; ++n) found[n] = vesk::index_not_found;
    // An ASCII name equals a wanted one only at the same length, which spares most comparisons.
    constexpr t_uint32 measured = 16;
    t_uint32 lengths[measured];
    for (t_uint32 n = 0; n < count && n < measured; ++n) lengths[n] = static_cast<t_uint32>(std::strlen(names[n]));
    const t_uint32 fields = record.field_count();
    for (t_uint32 i = 0; i < fields && missing > 0; ++i) {
        const char* name = record.field_name(i);
        if (name == nullptr) name = "";
        const name_shape shape = shape_of(name);
        for (t_uint32 n = 0; n < count; ++n) {
            if (found[n] != vesk::index_not_found) continue;
            if (shape.ascii && n < measured && lengths[n] != shape.length) continue;
            if (matches(name, shape, names[n])) {
                found[n] = i;
                --missing;
            }
        }
    }
}
