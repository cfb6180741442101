#include "trackinfo/field_text.h"

bool field_text(const track_info& record, const char* name, vesk::string_base& out) {
    out.truncate(0);
    const t_uint32 field = record.find_field(name, vesk::length_up_to_nul);
    if (field == vesk::index_not_found) return false;
    const t_uint32 count = record.field_value_count(field);
    if (count == 0) return false;
    out.append(record.field_value(field, 0), vesk::length_up_to_nul);
    for (t_uint32 j = 1; j < count; ++j) {
        out.append(", ", vesk::length_up_to_nul);
        out.append(record.field_value(field, j), vesk::length_up_to_nul);
    }
    return true;
}
