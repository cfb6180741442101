// The data of a file being written, not yet at its target. Where the file system offers them it
// is an unnamed file in the target's folder, which vanishes with the process however it ends,
// SIGKILL included; elsewhere it is a hidden file beside the target, removed on every ordinary
// way out and on the termination signals (see pending_names.h).
#pragma once

#include <string>

namespace host {

class pending_file {
public:
    pending_file(pending_file&& other) noexcept;
    pending_file(const pending_file&) = delete;
    pending_file& operator=(const pending_file&) = delete;
    pending_file& operator=(pending_file&&) = delete;
    ~pending_file() { discard(); }

    // A device or FIFO written in place: publishing only closes it, and nothing is removed.
    static pending_file in_place(int fd) noexcept { return pending_file(fd, {}, {}, true); }

    // A new, empty file for target_name in directory. Throws io_error ("Cannot create
    // <target_for_messages>: <reason>") on failure.
    static pending_file create_beside(const std::string& directory, const std::string& target_name,
                                      const std::string& target_for_messages);

    int fd() const noexcept { return fd_; }
    // True while the data has no name in the folder.
    bool unnamed() const noexcept { return named_path_.empty() && !in_place_; }

    // Flushes the data to disk and puts it at target: over an existing file when replace is set,
    // otherwise only where nothing exists (EEXIST when something does, the target untouched).
    // Returns 0 or the errno of the failing step. Allocates nothing, so it can run in a destructor.
    // The pending data is gone afterwards either way.
    int publish(const std::string& target, bool replace) noexcept;
    // Drops the data; nothing when already done.
    void discard() noexcept;

private:
    pending_file(int fd, std::string named_path, std::string spare_path, bool in_place = false) noexcept;

    int publish_unnamed(const char* target, bool replace) noexcept;
    int publish_named(const char* target, bool replace) noexcept;

    int fd_;
    std::string named_path_;  // the hidden file's path; empty for an unnamed file
    // A hidden path beside the target, reserved while the data is open: an unnamed file replaces
    // a target by being linked there and renamed over the target.
    std::string spare_path_;
    int remembered_ = -1;     // slot in pending_names while a hidden name exists
    bool in_place_;
};

}  // namespace host
