#include "cli/messages.h"

#include <cstdio>
#include <iostream>
#include <new>
#include <string>

namespace cli {

namespace {

std::string* kept_reports = nullptr;

// Length of the valid UTF-8 sequence starting at text[i] (shortest form, no surrogates, at most
// U+10FFFF), or 0.
std::size_t utf8_sequence_length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

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
        const std::size_t length = utf8_sequence_length(text, i);
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

void warn(std::string_view message) { report(std::string("warning: ").append(message)); }

}  // namespace cli
