// JSON parsed strictly, keeping where each value starts, so that a reader rejecting a value can
// point at it. nlohmann's ordered_json keeps member order, but on its own it would silently keep
// one of two duplicate keys and forget all positions; this parser refuses duplicates and remembers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace host {

class located_json {
public:
    // Parses text; invalid JSON, a duplicate key in one object or a NUL inside a string or key is
    // an input_error "display_name:line:column: reason".
    located_json(std::string text, std::string display_name);

    const nlohmann::ordered_json& root() const noexcept { return root_; }

    // Values are addressed by JSON pointer ("" the root, "/tracks/0/path"); build them with step().
    static std::string step(const std::string& pointer, std::string_view key);
    static std::string step(const std::string& pointer, std::size_t index);

    // "display_name:line:column" of the value, or of the key of the member, at pointer.
    std::string where_value(const std::string& pointer) const;
    std::string where_key(const std::string& pointer) const;

private:
    class builder;

    std::string where(std::size_t offset) const;

    std::string text_;
    std::string display_name_;
    nlohmann::ordered_json root_;
    std::unordered_map<std::string, std::size_t> value_starts_;
    std::unordered_map<std::string, std::size_t> key_starts_;
};

}  // namespace host
