// One field of a record read as one text.
#pragma once

#include "trackinfo/track_info.h"
#include "vesk/string_base.h"

// Empties out, then fills it with the values of the first field named name (compared as the record
// compares names), joined by ", ". False when there is no such field or it has no values.
bool field_text(const track_info& record, const char* name, vesk::string_base& out);
