#include "io/stream_reader_impl.h"

#include "abi/io_exceptions.h"

namespace orvanta_io {

void stream_reader_impl::read_exact(void* buffer, t_uint32 bytes, abort_callback& abort) {
    if (read(buffer, bytes, abort) != bytes) throw exception_io_data_truncation();
}

t_uint64 stream_reader_impl::skip_bytes(t_uint64 bytes, abort_callback& abort) {
    t_uint8 scratch[256];
    t_uint64 skipped = 0;
    t_uint64 remaining = bytes;
    while (remaining > 0) {
        const t_uint32 chunk = remaining < sizeof scratch ? static_cast<t_uint32>(remaining) : sizeof scratch;
        const t_uint32 got = read(scratch, chunk, abort);
        skipped += got;
        remaining -= got;
        if (got < chunk) break;  // the data ended
    }
    return skipped;
}

void stream_reader_impl::skip_exact(t_uint64 bytes, abort_callback& abort) {
    // Through the table, so a reader's own skipping is used when it has one.
    stream_reader& self = *this;
    if (self.skip_bytes(bytes, abort) != bytes) throw exception_io_data_truncation();
}

}  // namespace orvanta_io
