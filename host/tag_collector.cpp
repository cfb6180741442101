#include "host/tag_collector.h"

#include <algorithm>

#include "host/taglib_text.h"

namespace host {

std::vector<std::string>& tag_collector::values_of(std::string_view name) {
    for (auto& tag : tags_) {
        if (tag.name == name) return tag.values;
    }
    if (tags_.empty()) tags_.reserve(16);
    tags_.push_back({std::string(name), {}});
    return tags_.back().values;
}

void tag_collector::add(std::string_view name, const TagLib::StringList& values) {
    auto& into = values_of(name);
    for (const auto& value : values) into.push_back(utf8_of(value));
}

void tag_collector::add(std::string_view name, const TagLib::String& value) { values_of(name).push_back(utf8_of(value)); }

std::vector<tag_field> tag_collector::take() {
    std::sort(tags_.begin(), tags_.end(), [](const tag_field& a, const tag_field& b) { return utf16_less(a.name, b.name); });
    return std::move(tags_);
}

bool utf16_less(std::string_view a, std::string_view b) {
    const auto [at_a, at_b] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (at_b == b.end()) return false;
    if (at_a == a.end()) return true;
    // Equal texts before this byte, so it starts a character in both or continues two that start
    // alike. Only the lead bytes of U+E000..U+FFFF (EE, EF) move: after those of four bytes (F0..F4).
    const auto rank = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == 0xEE || byte == 0xEF ? byte + 0x10u : unsigned{byte};
    };
    return rank(*at_a) < rank(*at_b);
}

}  // namespace host
