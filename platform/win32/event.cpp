// Events and the thread's last-error value: the Win32 calls themselves.

#include <windows.h>

#include "platform/event.h"

namespace platform {

handle create_event(bool manual_reset, bool initially_signalled) noexcept {
    return CreateEventW(nullptr, manual_reset, initially_signalled, nullptr);
}

bool close_handle(handle object) noexcept { return CloseHandle(object) != FALSE; }

void set_last_error(t_uint32 code) noexcept { SetLastError(code); }

t_uint32 last_error() noexcept { return GetLastError(); }

}  // namespace platform
