#include "host/local_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "host/io_error.h"

namespace host {

namespace {

std::string random_suffix() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t bits = generator();
    std::string suffix(12, '0');
    for (char& c : suffix) {
        c = digits[bits & 15];
        bits >>= 4;
    }
    return suffix;
}

std::string join(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

}  // namespace

temp_file temp_file::create_beside(const std::string& directory, const std::string& target_name,
                                   const std::string& target_for_messages) {
    bool short_name = false;
    // A clash with another file of the same random name is retried; anything else is final.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = short_name ? ".trevalin." + random_suffix() + ".tmp"
                                            : "." + target_name + "." + random_suffix() + ".tmp";
        const std::string path = join(directory, name);
        // 0666 less the umask: the permissions a newly created target would get.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return temp_file(fd, path);
        const int error = errno;
        if (error == EEXIST) continue;
        if (error == ENAMETOOLONG && !short_name) {
            short_name = true;
            continue;
        }
        throw system_io_error("Cannot create " + target_for_messages, error);
    }
    throw system_io_error("Cannot create " + target_for_messages, EEXIST);
}

int temp_file::commit(const std::string& target) noexcept {
    int error = 0;
    const bool in_place = path_.empty();
    // Pipes and terminals cannot be synced, and a device keeps its own pace.
    if (!in_place && ::fsync(fd_) != 0) error = errno;
    // close reports write errors that some filesystems defer until then.
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    if (error == 0 && !in_place && std::rename(path_.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0 && !in_place) {
        ::unlink(path_.c_str());
    }
    path_.clear();
    return error;
}

void temp_file::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        path_.clear();
    }
}

local_file::local_file(std::shared_ptr<io_counters> counters, temp_file&& data, std::string target,
                       write_function write_fn)
    : counters_(std::move(counters)), data_(std::move(data)), target_(std::move(target)), write_fn_(write_fn) {
    counters_->open_files.fetch_add(1, std::memory_order_relaxed);
}

local_file::~local_file() {
    if (written_ && !failed_) {
        const int error = data_.commit(target_);
        if (error == 0) {
            counters_->commits.fetch_add(1, std::memory_order_relaxed);
        } else {
            try {
                counters_->record_commit_failure(system_io_error("Cannot replace " + target_, error).what());
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
