#include "host/stdout_filesystem.h"

#include <cstring>

#include "host/counted_service.h"
#include "host/io_error.h"

namespace host {

namespace {

bool is_dash(const char* path) { return path != nullptr && std::strcmp(path, "-") == 0; }

// Standard output as a file: bytes go straight to the descriptor, unbuffered, so nothing waits
// for a flush when the file is let go.
class stdout_file : public output_file {
public:
    stdout_file(std::shared_ptr<io_counters> counters, int fd, write_function write_fn)
        : counters_(std::move(counters)), fd_(fd), write_fn_(write_fn) {
        counters_->open_files.fetch_add(1, std::memory_order_relaxed);
    }
    ~stdout_file() { counters_->open_files.fetch_sub(1, std::memory_order_relaxed); }
    stdout_file(const stdout_file&) = delete;
    stdout_file& operator=(const stdout_file&) = delete;

    bool query(service_ref*, const GUID&) override { return false; }

    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) override {
        if (abort.aborting()) {
            counters_->failed_writes.fetch_add(1, std::memory_order_relaxed);
            throw io_aborted();
        }
        if (buffer == nullptr && bytes != 0) {
            counters_->failed_writes.fetch_add(1, std::memory_order_relaxed);
            throw io_error("Cannot write to standard output: no data");
        }
        if (const int error = write_all(fd_, buffer, bytes, write_fn_); error != 0) {
            counters_->failed_writes.fetch_add(1, std::memory_order_relaxed);
            throw system_io_error("Cannot write to standard output", error);
        }
        counters_->writes.fetch_add(1, std::memory_order_relaxed);
        counters_->bytes_written.fetch_add(bytes, std::memory_order_relaxed);
    }

private:
    std::shared_ptr<io_counters> counters_;
    int fd_;
    write_function write_fn_;
};

}  // namespace

stdout_filesystem::stdout_filesystem(int fd, write_function write_fn)
    : counters_(std::make_shared<io_counters>()), fd_(fd), write_fn_(write_fn) {}

bool stdout_filesystem::query(service_ref* out, const GUID& guid) {
    return query_own_class(this, out, guid, filesystem::class_guid);
}

bool stdout_filesystem::canonical_path(const char* path, vesk::string_base& out) {
    if (!is_dash(path)) return false;
    out.assign("-", vesk::length_up_to_nul);
    return true;
}

bool stdout_filesystem::accepts_path(const char* path) { return is_dash(path); }

bool stdout_filesystem::is_remote(const char*) { return false; }

void stdout_filesystem::open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) {
    if (abort.aborting()) throw io_aborted();
    if (!is_dash(path)) throw orvanta_io::exception_io_no_handler_for_path();
    if (mode != open_mode_write_new) {
        throw io_error("Cannot open standard output: unsupported open mode " + std::to_string(mode));
    }
    if (out == nullptr) throw io_error("Cannot open standard output: nowhere to put the file");
    *out = make_counted<stdout_file>(counters_, fd_, write_fn_);
    counters_->opens.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace host
