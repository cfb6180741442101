// One field of a record read as one text.
#pragma once

#include "abi/string_base.h"
#include "abi/track_info.h"

// Empties out, then fills it with the values of the first field named name (compared as the record
// compares names), joined by ", ". False when there is no such field or it has no values.
bool field_text(const track_info& record, const char* name, vesk::string_base& out);
