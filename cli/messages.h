// Messages to the user on standard error, each prefixed with the program's name.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace cli {

// The message is shown through shown_on_terminal: texts from tags and paths cannot move the cursor,
// ring the bell or start an escape sequence.
void report(std::string_view message);

// The error's text for the user; every allocation failure reads "bad allocation", whichever
// runtime raised it.
std::string_view message_of(const std::exception& error) noexcept;

// From now on every message is also appended to kept, one line each; null stops that.
void keep_reports(std::string* kept);

// The text with every control character escaped: \t \n \r by name, other C0 bytes and DEL as \xHH,
// C1 controls (U+0080-U+009F) as \uHHHH, and each byte that is not part of valid UTF-8 as \xHH.
// Everything else, backslashes included, passes as it is.
std::string shown_on_terminal(std::string_view text);

}  // namespace cli
