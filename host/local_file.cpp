#include "host/local_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "host/io_error.h"

namespace host {

local_file::local_file(std::shared_ptr<io_counters> counters, pending_file&& data, std::string target, bool replace,
                       write_function write_fn)
    : counters_(std::move(counters)), data_(std::move(data)), target_(std::move(target)), replace_(replace),
      write_fn_(write_fn) {
    counters_->open_files.fetch_add(1, std::memory_order_relaxed);
}

local_file::~local_file() {
    if (written_ && !failed_) {
        const int error = data_.publish(target_, replace_);
        if (error == 0) {
            counters_->commits.fetch_add(1, std::memory_order_relaxed);
        } else if (error == EEXIST && !replace_) {
            counters_->kept_existing.fetch_add(1, std::memory_order_relaxed);
            counters_->discards.fetch_add(1, std::memory_order_relaxed);
        } else {
            try {
                const bool existed = replace_ && ::faccessat(AT_FDCWD, target_.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
                counters_->record_commit_failure(
                    system_io_error((existed ? "Cannot replace " : "Cannot create ") + target_, error).what());
            } catch (...) {
                // Out of memory while keeping the message: the count below still says it failed.
            }
            counters_->discards.fetch_add(1, std::memory_order_relaxed);
        }
    } else {
        data_.discard();
        counters_->discards.fetch_add(1, std::memory_order_relaxed);
    }
    counters_->open_files.fetch_sub(1, std::memory_order_relaxed);
}

// A file offers no service class of its own; holders get it straight from open.
bool local_file::query(service_ref*, const GUID&) { return false; }

void local_file::write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) {
    // Every refusal dooms the file: a partly written file must never replace the target.
    auto refuse = [this]() { failed_ = true; counters_->failed_writes.fetch_add(1, std::memory_order_relaxed); };
    if (abort.aborting()) {
        refuse();
        throw io_aborted();
    }
    if (failed_) {
        refuse();
        throw io_error("Cannot write " + target_ + ": an earlier write failed");
    }
    if (buffer == nullptr && bytes != 0) {
        refuse();
        throw io_error("Cannot write " + target_ + ": no data");
    }
    if (const int error = write_all(data_.fd(), buffer, bytes, write_fn_); error != 0) {
        refuse();
        throw system_io_error("Cannot write " + target_, error);
    }
    written_ = true;
    counters_->writes.fetch_add(1, std::memory_order_relaxed);
    counters_->bytes_written.fetch_add(bytes, std::memory_order_relaxed);
}

}  // namespace host
