// Byte-for-byte substitution inside a string, for the cleaning rules of file names and sheet values.
#pragma once

#include "vesk/string8.h"

// Replaces every byte b of text with map(b). Multi-byte UTF-8 characters pass unchanged as long as
// map only changes bytes below 0x80. Raises std::bad_alloc with text unchanged.
template <class Map>
void map_bytes(vesk::string8_t<vesk::alloc_standard>& text, Map map) {
    const t_uint32 length = text.length();
    if (length == 0) return;
    const vesk::string8_t<vesk::alloc_standard> source(text);
    char* buffer = text.open_buffer(length);
    const char* from = source.text();
    for (t_uint32 i = 0; i < length; ++i) buffer[i] = map(from[i]);
    text.close_buffer();
}
