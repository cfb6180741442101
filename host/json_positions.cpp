#include "host/json_positions.h"

#include <iterator>
#include <utility>

#include <nlohmann/json.hpp>

namespace host {

namespace {

// Hands the text to the parser one byte at a time and records how far it has read, which is the
// only position the parser's events can be tied to.
class reading_iterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    reading_iterator() = default;
    reading_iterator(const char* at, const char** furthest) : at_(at), furthest_(furthest) {}

    reference operator*() const { return *at_; }
    reading_iterator& operator++() {
        ++at_;
        if (furthest_ != nullptr && at_ > *furthest_) *furthest_ = at_;
        return *this;
    }
    reading_iterator operator++(int) {
        reading_iterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const reading_iterator& other) const { return at_ == other.at_; }

private:
    const char* at_ = nullptr;
    const char** furthest_ = nullptr;
};

bool is_number_char(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

// Counts events up to the wanted one and works out where it started. An event arrives when the
// parser has read to the end of its token (plus one byte of look-ahead after a number), so each
// start is found by stepping back from there.
class event_finder final : public nlohmann::json_sax<nlohmann::json> {
public:
    event_finder(const std::string& text, const char* const& read_to, std::size_t wanted)
        : text_(text), read_to_(read_to), wanted_(wanted) {}

    std::size_t start = 0;

    bool null() override { return arrive(read_offset() - 4); }
    bool boolean(bool value) override { return arrive(read_offset() - (value ? 4 : 5)); }
    bool number_integer(number_integer_t) override { return arrive(number_start()); }
    bool number_unsigned(number_unsigned_t) override { return arrive(number_start()); }
    bool number_float(number_float_t, const string_t&) override { return arrive(number_start()); }
    bool string(string_t&) override { return arrive(string_start()); }
    bool binary(binary_t&) override { return arrive(read_offset()); }
    bool start_object(std::size_t) override { return arrive(read_offset() - 1); }
    bool key(string_t&) override { return arrive(string_start()); }
    bool end_object() override { return arrive(read_offset() - 1); }
    bool start_array(std::size_t) override { return arrive(read_offset() - 1); }
    bool end_array() override { return arrive(read_offset() - 1); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    std::size_t read_offset() const { return static_cast<std::size_t>(read_to_ - text_.data()); }

    // The closing quote is the last byte read; the opening one is the nearest quote before it
    // that is not escaped.
    std::size_t string_start() const {
        std::size_t i = read_offset() - 1;
        while (i > 0) {
            --i;
            if (text_[i] != '"') continue;
            std::size_t backslashes = 0;
            while (backslashes < i && text_[i - 1 - backslashes] == '\\') ++backslashes;
            if (backslashes % 2 == 0) return i;
        }
        return 0;
    }

    std::size_t number_start() const { return json_positions(text_, {}).number_start(read_offset()); }

    bool arrive(std::size_t offset) {
        if (count_++ != wanted_) return true;
        start = offset;
        return false;
    }

    const std::string& text_;
    const char* const& read_to_;
    std::size_t wanted_;
    std::size_t count_ = 0;
};

}  // namespace

std::size_t json_positions::event_start(std::size_t event) const {
    const char* begin = text_.data();
    const char* read_to = begin;
    event_finder finder(text_, read_to, event);
    nlohmann::json::sax_parse(reading_iterator(begin, &read_to), reading_iterator(begin + text_.size(), nullptr),
                              &finder);
    return finder.start;
}

std::size_t json_positions::number_start(std::size_t offset) const {
    std::size_t i = offset < text_.size() ? offset : text_.size();
    while (i > 0 && !is_number_char(text_[i - 1])) --i;  // the look-ahead byte
    while (i > 0 && is_number_char(text_[i - 1])) --i;
    return i;
}

std::string json_positions::where(std::size_t offset) const {
    if (offset > text_.size()) offset = text_.size();
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        const auto byte = static_cast<unsigned char>(text_[i]);
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & 0xC0) != 0x80) {
            ++column;
        }
    }
    return display_name_ + ":" + std::to_string(line) + ":" + std::to_string(column);
}

std::string parse_error_reason(const std::string& message) {
    const auto column = message.find("column ");
    const auto colon = column == std::string::npos ? std::string::npos : message.find(": ", column);
    if (colon != std::string::npos) return message.substr(colon + 2);
    const auto bracket = message.find("] ");
    return bracket == std::string::npos ? message : message.substr(bracket + 2);
}

}  // namespace host
