// The component's state stream: one record per persistent variable, each a 16-byte GUID, a 32-bit
// little-endian length and that many bytes. This component registers no variables, so it writes
// nothing and skips whatever the host hands it, but the record format is the host's.
#pragma once

#include "abi/stream.h"
#include "abi/types.h"
#include "io/stream_reader_impl.h"

// State the host stores between runs. A variable registers itself at the head of the list when
// constructed (statically, like the factories).
class persistent_variable {
public:
    virtual void write_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) = 0;  // slot 0
    virtual void read_state(orvanta_io::stream_reader& reader, t_uint32 bytes,
                            orvanta_io::abort_callback& abort) = 0;                                       // slot 1

    GUID guid;
    persistent_variable* next;

protected:
    explicit persistent_variable(const GUID& variable_guid) noexcept;
    persistent_variable(const persistent_variable&) = delete;
    persistent_variable& operator=(const persistent_variable&) = delete;
    ~persistent_variable();
};

extern constinit persistent_variable* persistent_variable_list_head;

// A reader limited to one record's bytes, put in front of the host's reader while a variable
// reads its record.
class bounded_reader final : public orvanta_io::stream_reader_impl {
public:
    bounded_reader(orvanta_io::stream_reader& inner, t_uint32 bytes) noexcept : inner_(inner), remaining_(bytes) {}

    t_uint32 read(void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) override;
    t_uint32 remaining() const noexcept { return remaining_; }

private:
    orvanta_io::stream_reader& inner_;
    t_uint32 remaining_;
};

void save_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort);
// The end of the data (a header that cannot be read in full) ends the loop quietly; a record
// announcing more bytes than remain raises exception_io_data_truncation.
void load_state(orvanta_io::stream_reader& reader, orvanta_io::abort_callback& abort);
