// The I/O exception classes. Both sides include this header, so a host catches the component's
// exceptions by these exact types (and the component passes the host's through unchanged).
#pragma once

#include <exception>

#include "abi/types.h"

namespace orvanta_io {

// Not raised by itself; hosts derive their own I/O failures from it.
class ORVANTA_SHARED_TYPE exception_io : public std::exception {
public:
    const char* what() const noexcept override { return "I/O error"; }
};

// Not raised by itself.
class ORVANTA_SHARED_TYPE exception_io_data : public exception_io {
public:
    const char* what() const noexcept override { return "Unsupported format or corrupted file"; }
};

// A stream delivered or skipped fewer bytes than asked.
class ORVANTA_SHARED_TYPE exception_io_data_truncation : public exception_io_data {
public:
    const char* what() const noexcept override { return "Unsupported format or corrupted file"; }
};

// No filesystem service accepts the path.
class ORVANTA_SHARED_TYPE exception_io_no_handler_for_path : public exception_io {
public:
    const char* what() const noexcept override { return "Invalid path"; }
};

}  // namespace orvanta_io
