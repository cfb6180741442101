// Removing the elements a mask picks out of an array while the others keep their order.
#pragma once

#include "abi/index_mask.h"
#include "abi/types.h"

// Drops every element whose selection in mask equals `dropped` and shrinks the array to the rest,
// in their old order. Asks the mask only through find, the one operation every host's mask is
// sure to answer sensibly. The dropped elements are swapped to the end and destroyed by the
// shrink; if the array's shrink raises (a heap that refuses to give back a block), they are still
// there, after the kept ones.
template <class Array>
void remove_by_mask(Array& array, const index_mask& mask, bool dropped) {
    const t_uint32 n = array.count();
    t_uint32 i = mask.find(dropped, 0, static_cast<t_int32>(n));
    if (i >= n) return;
    t_uint32 k = mask.find(!dropped, i + 1, static_cast<t_int32>(n - i - 1));
    while (k < n) {
        array.swap(i, k);
        ++i;
        k = mask.find(!dropped, k + 1, static_cast<t_int32>(n - k - 1));
    }
    array.resize(i);
}
