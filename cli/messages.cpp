#include "cli/messages.h"

#include <iostream>
#include <new>
#include <string>

namespace cli {

namespace {

std::string* kept_reports = nullptr;

}  // namespace

void report(std::string_view message) {
    // One write per message, so that messages of concurrent runs sharing a terminal do not interleave.
    std::string line = "trevalin: ";
    line += message;
    line += '\n';
    std::cerr << line << std::flush;
    if (kept_reports != nullptr) kept_reports->append(message).push_back('\n');
}

std::string_view message_of(const std::exception& error) noexcept {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "bad allocation";
    return error.what();
}

void keep_reports(std::string* kept) { kept_reports = kept; }

}  // namespace cli
