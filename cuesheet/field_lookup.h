// Finding several fields of a record in one walk over its fields, with the comparison find_field
// uses (stricmp_utf8_ex) and a shortcut for the common all-ASCII names.
#pragma once

#include "abi/track_info.h"
#include "abi/types.h"

// True when the record's field name equals wanted ignoring case, exactly as
// stricmp_utf8_ex(name, -1, wanted, -1) == 0 decides. wanted must be lower-case ASCII. A name of
// ASCII bytes only is compared here: no character outside ASCII folds to one inside it unless it
// is itself outside ASCII (the Kelvin sign, the long s), so only such names need the full folding.
bool field_name_matches(const char* name, const char* wanted) noexcept;

// found[n] becomes the index of the first field whose name matches names[n], or index_not_found:
// what find_field(names[n]) gives, for count names at once.
void find_fields(const track_info& record, const char* const* names, t_uint32 count, t_uint32* found);
