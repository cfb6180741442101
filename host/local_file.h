// A local file opened for writing: the data goes to a pending file beside the target, which is put
// in place only when the file is let go after successful writes. An interrupted or failed export
// therefore never leaves a half-written or emptied file behind.
#pragma once

#include <memory>
#include <string>

#include "abi/filesystem.h"
#include "host/io_counters.h"
#include "host/pending_file.h"
#include "host/write_all.h"

namespace host {

// Implemented here; the component calls release and write by slot.
class local_file : public output_file {
public:
    // replace: an existing file at target may be replaced; otherwise one that appeared there
    // since the open is kept, and the data dropped.
    local_file(std::shared_ptr<io_counters> counters, pending_file&& data, std::string target, bool replace,
               write_function write_fn);
    // Puts the data in place after at least one write and no failed one; otherwise drops it.
    ~local_file();
    local_file(const local_file&) = delete;
    local_file& operator=(const local_file&) = delete;

    bool query(service_ref* out, const GUID& guid) override;                                        // slot 2
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) override;  // writer slot 0

    const std::string& target() const noexcept { return target_; }

private:
    std::shared_ptr<io_counters> counters_;
    pending_file data_;
    std::string target_;
    bool replace_;
    write_function write_fn_;
    bool written_ = false;
    bool failed_ = false;
};

}  // namespace host
