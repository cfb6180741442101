// Checking and mending UTF-8 that arrives from outside: tags, paths, messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

// Length of the well-formed UTF-8 sequence that starts at text[at] (shortest form, no surrogates,
// at most U+10FFFF), or 0 where none starts. at < text.size().
std::size_t utf8_sequence_length(std::string_view text, std::size_t at) noexcept;

// The text with each byte that is not part of a well-formed sequence replaced by U+FFFD.
std::string with_replacement_characters(std::string_view text);

// True when every byte belongs to a well-formed sequence.
bool is_valid_utf8(std::string_view text) noexcept;

}  // namespace host
