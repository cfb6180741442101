#include "host/located_json.h"

#include <iterator>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/track_source.h"

namespace host {

namespace {

using json = nlohmann::ordered_json;

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

// nlohmann's messages read "[json.exception.parse_error.101] parse error at line 1, column 5:
// syntax error ..."; the position is given separately, so keep only the explanation.
std::string parse_error_reason(const std::string& message) {
    const auto column = message.find("column ");
    const auto colon = column == std::string::npos ? std::string::npos : message.find(": ", column);
    if (colon != std::string::npos) return message.substr(colon + 2);
    const auto bracket = message.find("] ");
    return bracket == std::string::npos ? message : message.substr(bracket + 2);
}

}  // namespace

// Builds the document from the parser's events, like nlohmann's own builder, and notes where every
// value and key starts. An event arrives when the parser has read to the end of its token (plus
// one byte of look-ahead after a number), so each start is found by stepping back from there.
class located_json::builder final : public nlohmann::json_sax<json> {
public:
    builder(located_json& document, const char* const& read_to) : doc_(document), read_to_(read_to) {}

    std::optional<std::pair<std::size_t, std::string>> error;

    bool null() override { return place(nullptr, read_offset() - 4); }
    bool boolean(bool value) override { return place(value, read_offset() - (value ? 4 : 5)); }
    bool number_integer(number_integer_t value) override { return place(value, number_start()); }
    bool number_unsigned(number_unsigned_t value) override { return place(value, number_start()); }
    bool number_float(number_float_t value, const string_t&) override { return place(value, number_start()); }
    bool string(string_t& value) override {
        const std::size_t start = string_start();
        if (value.find('\0') != string_t::npos) return fail(start, "NUL character inside a string");
        return place(std::move(value), start);
    }
    bool binary(binary_t&) override { return fail(read_offset(), "binary values are not JSON"); }

    bool start_object(std::size_t) override { return open(json::object()); }
    bool key(string_t& name) override {
        const std::size_t start = string_start();
        if (name.find('\0') != string_t::npos) return fail(start, "NUL character inside a key");
        frame& f = stack_.back();
        if (!f.keys.insert(name).second) return fail(start, "duplicate key \"" + name + "\"");
        f.key = std::move(name);
        f.key_start = start;
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(json::array()); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& ex) override {
        // A number too large for a double is well-formed JSON that no value here can hold; point
        // at the number rather than past it.
        if (ex.id == number_overflow) return fail(number_start(), parse_error_reason(ex.what()));
        // position counts the bytes read, the offending one included.
        return fail(position > 0 ? position - 1 : 0, "invalid JSON: " + parse_error_reason(ex.what()));
    }

private:
    static constexpr int number_overflow = 406;  // nlohmann's out_of_range.406
    static constexpr std::size_t max_depth = 64;

    struct frame {
        frame(json* container, std::string at) : value(container), pointer(std::move(at)) {}

        json* value;
        std::string pointer;
        std::size_t next_index = 0;
        std::unordered_set<std::string> keys;
        std::string key;
        std::size_t key_start = 0;
    };

    std::size_t read_offset() const { return static_cast<std::size_t>(read_to_ - doc_.text_.data()); }

    // The closing quote is the last byte read; the opening one is the nearest quote before it
    // that is not escaped.
    std::size_t string_start() const {
        const std::string& t = doc_.text_;
        std::size_t i = read_offset() - 1;
        while (i > 0) {
            --i;
            if (t[i] != '"') continue;
            std::size_t backslashes = 0;
            while (backslashes < i && t[i - 1 - backslashes] == '\\') ++backslashes;
            if (backslashes % 2 == 0) return i;
        }
        return 0;
    }

    std::size_t number_start() const {
        const std::string& t = doc_.text_;
        std::size_t i = read_offset();
        while (i > 0 && !is_number_char(t[i - 1])) --i;  // the look-ahead byte
        while (i > 0 && is_number_char(t[i - 1])) --i;
        return i;
    }

    bool fail(std::size_t offset, std::string reason) {
        error.emplace(offset, std::move(reason));
        return false;
    }

    // Puts a value into the innermost open container (or makes it the root) and returns it.
    json* insert(json value, std::size_t start) {
        std::string pointer;
        json* placed = nullptr;
        if (stack_.empty()) {
            doc_.root_ = std::move(value);
            placed = &doc_.root_;
        } else if (frame& f = stack_.back(); f.value->is_array()) {
            pointer = step(f.pointer, f.next_index++);
            f.value->push_back(std::move(value));
            placed = &f.value->back();
        } else {
            pointer = step(f.pointer, f.key);
            doc_.key_starts_.emplace(pointer, f.key_start);
            placed = &((*f.value)[f.key] = std::move(value));
        }
        doc_.value_starts_.emplace(pointer, start);
        if (placed->is_structured()) stack_.emplace_back(placed, std::move(pointer));
        return placed;
    }

    bool place(json value, std::size_t start) {
        insert(std::move(value), start);
        return true;
    }

    // The container's own slot is not touched again while it is open, so the pointer stays valid.
    // Every value's address names all its ancestors, so unbounded nesting would cost memory
    // quadratic in the depth; no sensible document comes near the limit.
    bool open(json empty) {
        if (stack_.size() >= max_depth)
            return fail(read_offset() - 1, "nested more than " + std::to_string(max_depth) + " levels deep");
        insert(std::move(empty), read_offset() - 1);
        return true;
    }

    bool close() {
        stack_.pop_back();
        return true;
    }

    located_json& doc_;
    const char* const& read_to_;
    std::vector<frame> stack_;
};

located_json::located_json(std::string text, std::string display_name)
    : text_(std::move(text)), display_name_(std::move(display_name)) {
    const char* read_to = text_.data();
    builder events(*this, read_to);
    const char* begin = text_.data();
    const bool parsed = json::sax_parse(reading_iterator(begin, &read_to),
                                        reading_iterator(begin + text_.size(), nullptr), &events);
    if (!parsed) {
        if (!events.error) throw input_error(where(static_cast<std::size_t>(read_to - begin)), "invalid JSON");
        throw input_error(where(events.error->first), events.error->second);
    }
}

std::string located_json::step(const std::string& pointer, std::string_view key) {
    std::string next = pointer + "/";
    for (char c : key) {
        if (c == '~') next += "~0";
        else if (c == '/') next += "~1";
        else next += c;
    }
    return next;
}

std::string located_json::step(const std::string& pointer, std::size_t index) {
    return pointer + "/" + std::to_string(index);
}

std::string located_json::where_value(const std::string& pointer) const {
    const auto found = value_starts_.find(pointer);
    return where(found != value_starts_.end() ? found->second : 0);
}

std::string located_json::where_key(const std::string& pointer) const {
    const auto found = key_starts_.find(pointer);
    return found != key_starts_.end() ? where(found->second) : where_value(pointer);
}

// Lines and columns count from 1; a column counts characters, not the bytes of their UTF-8 form.
std::string located_json::where(std::size_t offset) const {
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

}  // namespace host
