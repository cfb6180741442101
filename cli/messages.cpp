#include "cli/messages.h"

#include <cstdio>
#include <iostream>
#include <new>
#include <string>

#include "host/utf8_text.h"

namespace cli {

namespace {

std::string* kept_reports = nullptr;

void append_escape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string shown_on_terminal(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = host::utf8_sequence_length(text, i);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            switch (byte) {
                case '\t': shown += "\\t"; break;
                case '\n': shown += "\\n"; break;
                case '\r': shown += "\\r"; break;
                default: append_escape(shown, "\\x%02x", byte);
            }
            ++i;
            continue;
        }
        const auto second = length == 2 ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && second <= 0x9F) {
            append_escape(shown, "\\u%04x", second);
        } else {
            shown.append(text.substr(i, length));
        }
        i += length;
    }
    return shown;
}

void report(std::string_view message) {
    // One write per message, so that messages of concurrent runs sharing a terminal do not interleave.
    std::string line = "trevalin: ";
    line += shown_on_terminal(message);
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
