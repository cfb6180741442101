// The reading operations every stream reader shares: a reader supplies read (slot 0) and gets
// read_exact, skip_bytes and skip_exact built on it.
#pragma once

#include "abi/stream.h"

namespace orvanta_io {

class stream_reader_impl : public stream_reader {
public:
    void read_exact(void* buffer, t_uint32 bytes, abort_callback& abort) override;
    t_uint64 skip_bytes(t_uint64 bytes, abort_callback& abort) override;
    void skip_exact(t_uint64 bytes, abort_callback& abort) override;

protected:
    ~stream_reader_impl() = default;
};

}  // namespace orvanta_io
