// Where something lies in a JSON text, worked out only when an error has to be reported. The
// streaming reader numbers the parser's events as they come; to point at one it reads the text
// again up to that event, so the fast pass keeps no positions at all.
#pragma once

#include <cstddef>
#include <string>

namespace host {

class json_positions {
public:
    json_positions(const std::string& text, std::string display_name)
        : text_(text), display_name_(std::move(display_name)) {}

    // The byte offset where the event with this number starts (counting every event from 0, the
    // way nlohmann's SAX interface delivers them): the opening quote of a key or string, the
    // first byte of a number or literal, the bracket of an array or object.
    std::size_t event_start(std::size_t event) const;

    // The start of the number that ends just before offset (a parse error of an overflowing number
    // is reported after it).
    std::size_t number_start(std::size_t offset) const;

    // "display_name:line:column"; lines and columns count from 1, a column counts characters, not
    // the bytes of their UTF-8 form.
    std::string where(std::size_t offset) const;

private:
    const std::string& text_;
    std::string display_name_;
};

// nlohmann's messages read "[json.exception.parse_error.101] parse error at line 1, column 5:
// syntax error ..."; the position is given separately, so keep only the explanation.
std::string parse_error_reason(const std::string& message);

}  // namespace host
