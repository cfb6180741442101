// Calls an operation by its slot number through an object's raw operation table, as the player
// does: the table pointer is the object's first word and slot i is the table's i-th entry.
#pragma once

#include <cstddef>

namespace raw_table {

inline void* entry(const void* object, std::size_t slot) {
    void* const* table = *static_cast<void* const* const*>(object);
    return table[slot];
}

// Pass references as pointers: they cross the interface the same way.
template <class R, class... Args>
R call(const void* object, std::size_t slot, Args... args) {
    using function = R (*)(const void*, Args...);
    return reinterpret_cast<function>(entry(object, slot))(object, args...);
}

}  // namespace raw_table
