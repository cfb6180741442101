#include "cli/libcue_messages.h"

#include <libcue.h>

#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

// libcue writes its complaints to standard error; they are caught in a temporary file for the
// length of one parse.
std::string parse_capturing_stderr(const std::string& text, bool& parsed) {
    std::fflush(stderr);
    std::FILE* capture = std::tmpfile();
    const int saved = capture != nullptr ? ::dup(STDERR_FILENO) : -1;
    if (saved >= 0) ::dup2(::fileno(capture), STDERR_FILENO);
    Cd* cd = cue_parse_string(text.c_str());
    parsed = cd != nullptr;
    if (cd != nullptr) cd_delete(cd);
    std::fflush(stderr);
    std::string said;
    if (saved >= 0) {
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        std::rewind(capture);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, capture)) > 0;) said.append(buffer, n);
    }
    if (capture != nullptr) std::fclose(capture);
    return said;
}

// "bad character 'F'" once per character reads better as one message with all of them.
std::string joined(const std::string& said) {
    static const std::string bad = "bad character '";
    std::string messages;
    std::string bad_run;
    auto flush_run = [&] {
        if (bad_run.empty()) return;
        messages += (messages.empty() ? "" : "; ") + std::string(bad_run.size() == 1 ? "bad character '" : "bad characters '") +
                    bad_run + "'";
        bad_run.clear();
    };
    std::size_t start = 0;
    while (start < said.size()) {
        std::size_t end = said.find('\n', start);
        if (end == std::string::npos) end = said.size();
        const std::string line = said.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        if (line.compare(0, bad.size(), bad) == 0 && line.size() == bad.size() + 2) {
            bad_run += line[bad.size()];
            continue;
        }
        // The check names the 100th track itself, at its line.
        if (line == "too many tracks") continue;
        flush_run();
        // Its own line numbers do not count lines of the sheet: they are left out.
        const std::size_t digits = line.find_first_not_of("0123456789");
        const bool numbered = digits > 0 && digits != std::string::npos && line.compare(digits, 2, ": ") == 0;
        messages += (messages.empty() ? "" : "; ") + (numbered ? line.substr(digits + 2) : line);
    }
    flush_run();
    return messages;
}

}  // namespace

libcue_verdict ask_libcue(const std::string& text) {
    libcue_verdict verdict;
    verdict.messages = joined(parse_capturing_stderr(text, verdict.parsed));
    return verdict;
}

std::size_t first_line_libcue_rejects(const std::string& text) {
    // A cut sheet is rarely complete by itself; it is given a track to end on, under its own FILE
    // or under the last one, and counts as rejected when neither ending helps.
    static const std::string track_end = "\n  TRACK 99 AUDIO\n    INDEX 01 00:00:00\n";
    static const std::string file_end = "\nFILE \"x\" WAVE" + track_end;
    std::size_t line = 0;
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t newline = text.find('\n', position);
        position = newline == std::string::npos ? text.size() : newline + 1;
        ++line;
        const std::string cut = text.substr(0, position);
        if (!ask_libcue(cut + track_end).messages.empty() && !ask_libcue(cut + file_end).messages.empty()) return line;
    }
    return 0;
}

}  // namespace cli
