// A selection of indices, handed to the removal operations of a track information record.
// Implemented by the component (its three masks) and by hosts; both sides call it by slot.
#pragma once

#include <type_traits>

#include "abi/types.h"

class ORVANTA_SHARED_TYPE index_mask {
public:
    virtual bool get(t_uint32 index) const = 0;  // slot 0
    // The first index in [start, start + count) whose selection equals value, else start + count.
    // A negative count searches backwards from start.
    virtual t_uint32 find(bool value, t_uint32 start, t_int32 count) const = 0;  // slot 1

protected:
    index_mask() = default;
    index_mask(const index_mask&) = default;
    index_mask& operator=(const index_mask&) = default;
    ~index_mask() = default;
};

static_assert(!std::has_virtual_destructor_v<index_mask>);
