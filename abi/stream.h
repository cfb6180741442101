// Byte stream interfaces shared with the host: readers for the state stream, writers for the
// state stream and for output files.
#pragma once

#include <type_traits>

#include "abi/abort_callback.h"
#include "abi/types.h"

namespace orvanta_io {

// Implemented by the host (its readers) and by the component (the bounded reader).
class ORVANTA_SHARED_TYPE stream_reader {
public:
    // Fewer bytes than asked only at the end of the data.
    virtual t_uint32 read(void* buffer, t_uint32 bytes, abort_callback& abort) = 0;           // slot 0
    // Throws exception_io_data_truncation when fewer bytes arrive.
    virtual void read_exact(void* buffer, t_uint32 bytes, abort_callback& abort) = 0;        // slot 1
    // Fewer bytes than asked only at the end of the data.
    virtual t_uint64 skip_bytes(t_uint64 bytes, abort_callback& abort) = 0;                  // slot 2
    // Throws exception_io_data_truncation when fewer bytes could be skipped.
    virtual void skip_exact(t_uint64 bytes, abort_callback& abort) = 0;                      // slot 3

protected:
    stream_reader() = default;
    stream_reader(const stream_reader&) = default;
    stream_reader& operator=(const stream_reader&) = default;
    ~stream_reader() = default;
};

// Implemented by the host (state stream, output files) and by the component (its byte buffer).
class ORVANTA_SHARED_TYPE stream_writer {
public:
    // Writes all bytes or throws.
    virtual void write(const void* buffer, t_uint32 bytes, abort_callback& abort) = 0;  // slot 0

protected:
    stream_writer() = default;
    stream_writer(const stream_writer&) = default;
    stream_writer& operator=(const stream_writer&) = default;
    ~stream_writer() = default;
};

static_assert(!std::has_virtual_destructor_v<stream_reader>);
static_assert(!std::has_virtual_destructor_v<stream_writer>);

}  // namespace orvanta_io
