// The component's own selections of indices, handed to the removal operations of a record.
// Implemented here; a record calls them by slot like any host's mask.
#pragma once

#include "abi/index_mask.h"
#include "abi/types.h"

// find(value, start, count) answers the first index of the searched run whose selection equals
// value, or start + count (32-bit wrap-around) when there is none. The run is [start, start + count)
// for count >= 0 and start, start - 1, ..., start + count + 1 for a negative count.

// Every index selected.
class index_mask_all final : public index_mask {
public:
    bool get(t_uint32 index) const override;                                // slot 0
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override;  // slot 1
};

// Exactly one index selected.
class index_mask_one final : public index_mask {
public:
    explicit index_mask_one(t_uint32 selected) noexcept : selected_(selected) {}

    bool get(t_uint32 index) const override;                                // slot 0
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override;  // slot 1

private:
    t_uint32 selected_;
};

// Selects exactly what the wrapped mask does not. The wrapped mask must outlive this one.
class index_mask_inverted final : public index_mask {
public:
    explicit index_mask_inverted(const index_mask& wrapped) noexcept : wrapped_(wrapped) {}

    bool get(t_uint32 index) const override;                                // slot 0
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override;  // slot 1

private:
    const index_mask& wrapped_;
};
