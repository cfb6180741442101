// Warnings of one run, from any source: each is shown on standard error as it comes, and counted,
// so that --strict can refuse to write once they are all in.
#pragma once

#include <cstddef>
#include <string>

namespace cli {

class warning_list {
public:
    // Shows "trevalin: warning: <message>".
    void add(const std::string& message);
    // Counts warnings that their source has already shown in its own words.
    void count_shown(std::size_t warnings) noexcept { count_ += warnings; }
    std::size_t count() const noexcept { return count_; }

private:
    std::size_t count_ = 0;
};

}  // namespace cli
