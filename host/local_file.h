// A local file opened for writing: the data goes to a temporary file beside the target, which
// replaces the target only when the file is let go after successful writes. An interrupted or
// failed export therefore never leaves a half-written or emptied file behind.
#pragma once

#include <memory>
#include <string>

#include "abi/filesystem.h"
#include "host/io_counters.h"
#include "host/write_all.h"

namespace host {

// An open temporary file; closed and removed unless handed on.
class temp_file {
public:
    temp_file(int fd, std::string path) noexcept : fd_(fd), path_(std::move(path)) {}
    temp_file(temp_file&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) { other.fd_ = -1; }
    temp_file(const temp_file&) = delete;
    temp_file& operator=(const temp_file&) = delete;
    temp_file& operator=(temp_file&&) = delete;
    ~temp_file() { discard(); }

    // A device or FIFO written in place: there is nothing to replace and nothing to remove.
    static temp_file in_place(int fd) noexcept { return temp_file(fd, {}); }

    // Creates a new, empty file with a unique name in directory, named after target_name.
    // Throws io_error ("Cannot create <target>: <reason>") on failure.
    static temp_file create_beside(const std::string& directory, const std::string& target_name,
                                   const std::string& target_for_messages);

    int fd() const noexcept { return fd_; }
    const std::string& path() const noexcept { return path_; }
    // Flushes, closes and renames the file to target (in place: only closes it). Returns 0 or the
    // errno of the failing step; on failure the temporary file is removed.
    int commit(const std::string& target) noexcept;
    // Closes and removes the file; nothing when already done.
    void discard() noexcept;

private:
    int fd_;
    std::string path_;
};

// Implemented here; the component calls release and write by slot.
class local_file : public output_file {
public:
    local_file(std::shared_ptr<io_counters> counters, temp_file&& data, std::string target,
               write_function write_fn);
    // Puts the data in place after at least one write and no failed one; otherwise drops it.
    ~local_file();
    local_file(const local_file&) = delete;
    local_file& operator=(const local_file&) = delete;

    bool query(service_ref* out, const GUID& guid) override;                                        // slot 2
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) override;  // writer slot 0

    const std::string& target() const noexcept { return target_; }
    const std::string& temp_path() const noexcept { return data_.path(); }

private:
    std::shared_ptr<io_counters> counters_;
    temp_file data_;
    std::string target_;
    write_function write_fn_;
    bool written_ = false;
    bool failed_ = false;
};

}  // namespace host
