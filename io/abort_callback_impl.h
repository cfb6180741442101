// The abort signal an export creates and hands to the host's file operations. Nothing in the
// component ever sets it; the host may only read it.
#pragma once

#include "abi/abort_callback.h"
#include "platform/event.h"

namespace orvanta_io {

class abort_callback_impl final : public abort_callback {
public:
    // Creates the manual-reset, unsignalled, unnamed event; throws exception_win32 with the
    // system's code when that fails.
    abort_callback_impl();
    ~abort_callback_impl();
    abort_callback_impl(const abort_callback_impl&) = delete;
    abort_callback_impl& operator=(const abort_callback_impl&) = delete;

    bool aborting() const override;
    void* abort_event() const override;

private:
    platform::handle event_ = nullptr;
};

}  // namespace orvanta_io
