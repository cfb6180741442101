// Writing a whole buffer to a file descriptor.
#pragma once

#include <cstddef>
#include <sys/types.h>

namespace host {

// The write system call's shape. Replaceable in the filesystem services so tests can make writes
// short, interrupted or failing.
using write_function = ssize_t (*)(int fd, const void* buffer, std::size_t bytes);

// Writes all bytes, continuing after short writes and interrupted calls. Returns 0, or the errno
// value of the failing call (then an unknown part of the buffer has been written).
// A null write_fn means the real write.
int write_all(int fd, const void* buffer, std::size_t bytes, write_function write_fn) noexcept;

}  // namespace host
