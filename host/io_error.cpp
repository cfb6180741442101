#include "host/io_error.h"

#include <system_error>

namespace host {

io_error system_io_error(const std::string& what, int error_code) {
    return io_error(what + ": " + std::generic_category().message(error_code));
}

}  // namespace host
