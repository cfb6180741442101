// "Reading 120/2000 files" on a terminal, rewritten in place while audio files are read.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

namespace cli {

class progress_line {
public:
    // Shows nothing unless enabled; out is normally standard error.
    progress_line(bool enabled, std::FILE* out);
    // Clears the line when something was shown.
    ~progress_line();
    progress_line(const progress_line&) = delete;
    progress_line& operator=(const progress_line&) = delete;

    void update(std::size_t done, std::size_t total);

private:
    bool enabled_;
    std::FILE* out_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace cli
