// Messages to the user on standard error, each prefixed with the program's name.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace cli {

void report(std::string_view message);

// The error's text for the user; every allocation failure reads "bad allocation", whichever
// runtime raised it.
std::string_view message_of(const std::exception& error) noexcept;

// From now on every message is also appended to kept, one line each; null stops that.
void keep_reports(std::string* kept);

}  // namespace cli
