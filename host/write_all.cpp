#include "host/write_all.h"

#include <cerrno>
#include <unistd.h>

namespace host {

int write_all(int fd, const void* buffer, std::size_t bytes, write_function write_fn) noexcept {
    if (write_fn == nullptr) write_fn = &::write;
    const char* next = static_cast<const char*>(buffer);
    while (bytes > 0) {
        const ssize_t written = write_fn(fd, next, bytes);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno != 0 ? errno : EIO;
        }
        // A descriptor that accepts nothing would spin here forever.
        if (written == 0) return EIO;
        next += written;
        bytes -= static_cast<std::size_t>(written);
    }
    return 0;
}

}  // namespace host
