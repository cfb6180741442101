// Turns the stand-in heap's failure seam off again at the end of a scope, whatever the test did.
#pragma once

#include "platform/standin.h"

struct heap_seam_reset {
    heap_seam_reset() = default;
    heap_seam_reset(const heap_seam_reset&) = delete;
    heap_seam_reset& operator=(const heap_seam_reset&) = delete;
    ~heap_seam_reset() { platform::standin::fail_heap_call(0); }
};
