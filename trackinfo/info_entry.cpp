#include "trackinfo/info_entry.h"

#include <cstdint>
#include <cstring>

#include "abi/conventions.h"
#include "platform/heap.h"
#include "vesk/out_of_memory.h"

info_entry::info_entry(const char* name, t_uint32 name_length, const char* value, t_uint32 value_length) {
    const t_uint32 name_bytes = vesk::text_length(name, name_length);
    const t_uint32 value_bytes = vesk::text_length(value, value_length);
    const t_uint64 block_bytes = t_uint64{name_bytes} + value_bytes + 2;
    if (block_bytes > UINT32_MAX) vesk::throw_bad_alloc();
    char* const block = static_cast<char*>(platform::heap_allocate(static_cast<std::size_t>(block_bytes)));
    if (!block) vesk::throw_bad_alloc();
    // A null text has length 0; memcpy must not see it even then.
    if (name_bytes != 0) std::memcpy(block, name, name_bytes);
    block[name_bytes] = 0;
    char* const value_text = block + name_bytes + 1;
    if (value_bytes != 0) std::memcpy(value_text, value, value_bytes);
    value_text[value_bytes] = 0;
    name_ = block;
    value_ = value_text;
}

void info_entry::release() noexcept {
    platform::heap_free(name_);
    name_ = nullptr;
    value_ = nullptr;
}
