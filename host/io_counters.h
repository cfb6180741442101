// What a filesystem service and the files it opened have done, for tests and diagnostics.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace host {

// Shared by a filesystem service and its files, so the numbers outlive either.
class io_counters {
public:
    std::atomic<unsigned long> opens{0};          // files opened successfully
    std::atomic<unsigned long> writes{0};         // write calls that succeeded
    std::atomic<unsigned long> bytes_written{0};
    std::atomic<unsigned long> failed_writes{0};  // write calls that threw
    std::atomic<unsigned long> commits{0};        // files put in place at their last release
    std::atomic<unsigned long> discards{0};       // files dropped, leaving the previous file alone
    // Written files dropped because a file appeared at the target after the open, and replacing it
    // was not allowed (see local_filesystem::set_replace_rule); counted among the discards too.
    std::atomic<unsigned long> kept_existing{0};
    std::atomic<long> open_files{0};              // file objects alive

    // A file that was written successfully but could not be put in place at its last release:
    // release cannot throw, so the failure is kept here for whoever ran the export.
    void record_commit_failure(const std::string& message);
    unsigned long commit_failures() const;
    std::string last_commit_failure() const;

private:
    mutable std::mutex mutex_;
    unsigned long commit_failures_ = 0;
    std::string last_commit_failure_;
};

}  // namespace host
