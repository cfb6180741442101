// The stand-in events and last-error value. Nothing in the component waits on an event, so an
// event is a plain object that only records its state.

#include <atomic>
#include <cerrno>
#include <new>

#include "platform/event.h"
#include "platform/standin.h"

namespace {

struct event_object {
    bool manual_reset;
    bool signalled;
};

thread_local t_uint32 thread_last_error = 0;
std::atomic<t_uint32> next_creation_error{0};
std::atomic<long> live_events{0};

// Error codes here are the system's own (errno values), so the helper library's system text for
// them is the right one.
constexpr t_uint32 error_invalid_handle = EBADF;
constexpr t_uint32 error_not_enough_memory = ENOMEM;

}  // namespace

namespace platform {

handle create_event(bool manual_reset, bool initially_signalled) noexcept {
    if (const t_uint32 code = next_creation_error.exchange(0); code != 0) {
        thread_last_error = code;
        return nullptr;
    }
    auto* event = new (std::nothrow) event_object{manual_reset, initially_signalled};
    if (!event) {
        thread_last_error = error_not_enough_memory;
        return nullptr;
    }
    ++live_events;
    return event;
}

bool close_handle(handle object) noexcept {
    if (!object) {
        thread_last_error = error_invalid_handle;
        return false;
    }
    delete static_cast<event_object*>(object);
    --live_events;
    return true;
}

void set_last_error(t_uint32 code) noexcept { thread_last_error = code; }

t_uint32 last_error() noexcept { return thread_last_error; }

}  // namespace platform

namespace platform::standin {

void fail_next_event_creation(t_uint32 error_code) noexcept { next_creation_error = error_code; }

long open_events() noexcept { return live_events.load(); }

}  // namespace platform::standin
