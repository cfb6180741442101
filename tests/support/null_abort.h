// An abort signal that never asks to stop, for tests that call stream and file operations directly.
#pragma once

#include "abi/abort_callback.h"

class null_abort final : public orvanta_io::abort_callback {
public:
    bool aborting() const override { return false; }
    void* abort_event() const override { return nullptr; }
};
