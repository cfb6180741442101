// The filesystem service for the path "-": writes go to standard output.
#pragma once

#include <memory>
#include <unistd.h>

#include "abi/filesystem.h"
#include "host/io_counters.h"
#include "host/write_all.h"

namespace host {

// Implemented here; the component calls it by slot. Create it with make_counted<stdout_filesystem>().
// open supports mode 2 only; the descriptor is never closed by the service or its files.
class stdout_filesystem : public filesystem {
public:
    // fd: where "standard output" is (tests pass a pipe).
    explicit stdout_filesystem(int fd = STDOUT_FILENO, write_function write_fn = nullptr);
    stdout_filesystem(const stdout_filesystem&) = delete;
    stdout_filesystem& operator=(const stdout_filesystem&) = delete;

    bool query(service_ref* out, const GUID& guid) override;                           // slot 2
    bool canonical_path(const char* path, vesk::string_base& out) override;           // slot 3: "-" itself
    bool accepts_path(const char* path) override;                                      // slot 4: only "-"
    bool is_remote(const char* path) override;                                         // slot 5: never
    void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) override;  // slot 6

    const io_counters& counters() const noexcept { return *counters_; }

protected:
    ~stdout_filesystem() = default;

private:
    std::shared_ptr<io_counters> counters_;
    int fd_;
    write_function write_fn_;
};

}  // namespace host
