// Folding looks the code point up in the generated runs by binary search.

#include "host/shared/case_folding.h"

namespace shared {

t_uint32 fold_case(t_uint32 code_point) noexcept {
    if (code_point < 0x80) {
        // Most texts are ASCII; spare them the search.
        return code_point >= 'A' && code_point <= 'Z' ? code_point + ('a' - 'A') : code_point;
    }
    // The first run that does not end before the code point.
    t_uint32 low = 0;
    t_uint32 high = case_fold_run_count;
    while (low < high) {
        const t_uint32 middle = low + (high - low) / 2;
        if (case_fold_runs[middle].last < code_point) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == case_fold_run_count) {
        return code_point;
    }
    const case_fold_run& run = case_fold_runs[low];
    if (code_point < run.first || (code_point - run.first) % run.stride != 0) {
        return code_point;
    }
    return static_cast<t_uint32>(static_cast<t_int32>(code_point) + run.delta);
}

}  // namespace shared
