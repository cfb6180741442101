// Event objects and the thread's last-error value. On Windows: CreateEventW, CloseHandle,
// SetLastError, GetLastError. Elsewhere: plain objects and a thread-local value.
#pragma once

#include "abi/types.h"

namespace platform {

using handle = void*;

// An unnamed event without security attributes; null on failure, with the reason in last_error().
handle create_event(bool manual_reset, bool initially_signalled) noexcept;
bool close_handle(handle object) noexcept;
void set_last_error(t_uint32 code) noexcept;
t_uint32 last_error() noexcept;

}  // namespace platform
