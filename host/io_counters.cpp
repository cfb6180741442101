#include "host/io_counters.h"

namespace host {

void io_counters::record_commit_failure(const std::string& message) {
    std::lock_guard lock(mutex_);
    ++commit_failures_;
    last_commit_failure_ = message;
}

unsigned long io_counters::commit_failures() const {
    std::lock_guard lock(mutex_);
    return commit_failures_;
}

std::string io_counters::last_commit_failure() const {
    std::lock_guard lock(mutex_);
    return last_commit_failure_;
}

}  // namespace host
