#include "trackinfo/index_masks.h"

namespace {

// The index one past the searched run, which doubles as "none found".
t_uint32 past_run(t_uint32 start, t_int32 count) noexcept {
    return start + static_cast<t_uint32>(count);
}

// Whether index lies in the run searched from start over count (either direction).
bool in_run(t_uint32 index, t_uint32 start, t_int32 count) noexcept {
    const t_int64 offset = static_cast<t_int64>(index) - static_cast<t_int64>(start);
    return count >= 0 ? offset >= 0 && offset < count : offset <= 0 && offset > count;
}

}  // namespace

bool index_mask_all::get(t_uint32) const { return true; }

t_uint32 index_mask_all::find(bool value, t_uint32 start, t_int32 count) const {
    return value && count != 0 ? start : past_run(start, count);
}

bool index_mask_one::get(t_uint32 index) const { return index == selected_; }

t_uint32 index_mask_one::find(bool value, t_uint32 start, t_int32 count) const {
    if (value) return in_run(selected_, start, count) ? selected_ : past_run(start, count);
    if (count == 0) return start;
    // Only the selected index is skipped, so the answer is the run's first or second index; a run
    // of one selected index has none, and its second index is exactly start + count.
    if (start != selected_) return start;
    return count > 0 ? start + 1 : start - 1;
}

bool index_mask_inverted::get(t_uint32 index) const { return !wrapped_.get(index); }

t_uint32 index_mask_inverted::find(bool value, t_uint32 start, t_int32 count) const {
    return wrapped_.find(!value, start, count);
}
