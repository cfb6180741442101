// The host's I/O failures. They derive from orvanta_io::exception_io, so the component passes them
// through to whoever runs the command, and that caller catches them by the shared type.
#pragma once

#include <stdexcept>
#include <string>

#include "abi/io_exceptions.h"

namespace host {

// An I/O failure with its own message, e.g. "Cannot create /x/y.cue: Permission denied".
class io_error : public orvanta_io::exception_io {
public:
    explicit io_error(const std::string& message) : message_(message) {}
    const char* what() const noexcept override { return message_.what(); }

private:
    // runtime_error shares its text between copies, so copying the exception cannot throw.
    std::runtime_error message_;
};

// "what: reason", the reason being the system's text for error_code.
io_error system_io_error(const std::string& what, int error_code);

// The abort signal was set while an I/O operation ran.
class io_aborted : public orvanta_io::exception_io {
public:
    const char* what() const noexcept override { return "Aborted"; }
};

}  // namespace host
