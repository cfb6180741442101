#include "cli/progress_line.h"

namespace cli {

namespace {
// A terminal does not need more; redrawing for every file would slow down large selections.
constexpr std::chrono::milliseconds redraw_interval{100};
}  // namespace

progress_line::progress_line(bool enabled, std::FILE* out) : enabled_(enabled), out_(out) {}

progress_line::~progress_line() {
    if (shown_) {
        // Back to column 0 and erase the line, so later messages start clean.
        std::fputs("\r\x1b[K", out_);
        std::fflush(out_);
    }
}

void progress_line::update(std::size_t done, std::size_t total) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && done != total && now - last_ < redraw_interval) return;
    last_ = now;
    shown_ = true;
    std::fprintf(out_, "\rReading %zu/%zu files", done, total);
    std::fflush(out_);
}

}  // namespace cli
