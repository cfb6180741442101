#include "io/abort_callback_impl.h"

#include "vesk/exception_win32.h"

namespace orvanta_io {

abort_callback_impl::abort_callback_impl() {
    // Cleared first, so the code reported is the creation's own.
    platform::set_last_error(0);
    event_ = platform::create_event(true, false);
    if (!event_) throw exception_win32(platform::last_error());
}

abort_callback_impl::~abort_callback_impl() {
    if (event_) platform::close_handle(event_);
    event_ = nullptr;
}

// Nothing in the component ever aborts an export.
bool abort_callback_impl::aborting() const { return false; }

void* abort_callback_impl::abort_event() const { return event_; }

}  // namespace orvanta_io
